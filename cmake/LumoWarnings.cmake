# Warnings are per target, so a target can be added without inheriting flags
# meant for another.
function(lumo_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                                             -Wnon-virtual-dtor -Wold-style-cast)
endfunction()
