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
