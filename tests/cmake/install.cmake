# cmake -DBUILD_DIR=<build> -DPREFIX=<dir> -DCONFIG=<config> -P install.cmake
# A fresh prefix each time, so a file the install stopped providing cannot
# linger from an earlier run and hide the fault.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(
    COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}" --config "${CONFIG}"
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(include_dir "${PREFIX}/include/lumo")
# The runtime installs its public API and nothing of its layout.
file(GLOB runtime_headers RELATIVE "${include_dir}/runtime" "${include_dir}/runtime/*")
list(SORT runtime_headers)
if(NOT runtime_headers STREQUAL "parse_table.h;parser.h")
    message(FATAL_ERROR "installed runtime/: ${runtime_headers}; expected parse_table.h;parser.h")
endif()
# Every header an installed header includes is installed too.
file(GLOB_RECURSE headers RELATIVE "${include_dir}" "${include_dir}/*.h")
foreach(header IN LISTS headers)
    file(STRINGS "${include_dir}/${header}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS includes)
        string(REGEX MATCH "\"([^\"]+)\"" ignored "${line}")
        if(NOT EXISTS "${include_dir}/${CMAKE_MATCH_1}")
            message(FATAL_ERROR "installed ${header} includes ${CMAKE_MATCH_1}, which is not installed")
        endif()
    endforeach()
endforeach()
