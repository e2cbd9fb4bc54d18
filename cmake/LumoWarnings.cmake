# Warnings are per target, so a target can be added without inheriting flags
# meant for another.
function(lumo_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                                             -Wnon-virtual-dtor -Wold-style-cast)
endfunction()

# Fails the configuration if target links anything but the standard library.
# Checked once the whole tree is configured, so a target_link_libraries()
# added anywhere later is caught too.
function(lumo_require_standalone target)
    cmake_language(EVAL CODE "
        function(lumo_check_standalone_${target})
            get_target_property(libs ${target} LINK_LIBRARIES)
            get_target_property(ilibs ${target} INTERFACE_LINK_LIBRARIES)
            foreach(lib IN LISTS libs ilibs)
                if(lib AND NOT lib MATCHES \"NOTFOUND$\")
                    message(FATAL_ERROR \"${target} must link nothing but the standard library, but links '\${lib}'\")
                endif()
            endforeach()
        endfunction()")
    cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL lumo_check_standalone_${target})
endfunction()
