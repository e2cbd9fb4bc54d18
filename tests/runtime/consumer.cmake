# cmake -DBUILD_DIR=<build> -DPREFIX=<dir> -DSOURCE=<consumer/> -DGRAMMAR=<arith.lm>
#       -DSAMPLE=<arith.sample> -DWORK=<scratch> -DGENERATOR=<gen> -DCXX_COMPILER=<c++>
#       -DCONFIG=<config> -DLINK_FLAGS=<flags> -P consumer.cmake
#
# Installs the build into a fresh prefix, builds the consumer project against
# it and runs its programs, then the installed lumo-parse on the table the
# consumer's build generated. The programs parse the tokens they are given.

function(run step)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${step} failed (${result}):\n${out}")
    endif()
endfunction()

file(REMOVE_RECURSE "${PREFIX}" "${WORK}")
run("install" "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}" --config "${CONFIG}")
file(COPY "${SOURCE}/" DESTINATION "${WORK}/src")
file(COPY_FILE "${GRAMMAR}" "${WORK}/src/arith.lm")
run("configure" "${CMAKE_COMMAND}" -S "${WORK}/src" -B "${WORK}/build" -G "${GENERATOR}"
    "-DCMAKE_PREFIX_PATH=${PREFIX}" "-DCMAKE_CXX_COMPILER=${CXX_COMPILER}"
    "-DCMAKE_BUILD_TYPE=${CONFIG}" "-DCMAKE_EXE_LINKER_FLAGS=${LINK_FLAGS}")
run("build" "${CMAKE_COMMAND}" --build "${WORK}/build" --config "${CONFIG}" --parallel 2)
# expect(<output> <program> <token>...): the program prints exactly that line.
function(expect output)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT result EQUAL 0 OR NOT out STREQUAL "${output}\n")
        message(FATAL_ERROR "${ARGN} gave (${result}):\n${out}expected:\n${output}")
    endif()
endfunction()
set(refusal "unexpected \"num\" in graph \"MAIN\" at node #2; expected \"*\", \"/\", \"+\", \"-\" or end of input")
set(valid num * "(" num + num ")")
expect("ok" "${WORK}/build/parse_arith" ${valid})
expect("${refusal}" "${WORK}/build/parse_arith" num num)
expect("@num @num @num @add @mul ok" "${WORK}/build/parse_generated" ${valid})
expect("@num ${refusal}" "${WORK}/build/parse_generated" num num)
run("lumo-parse" "${PREFIX}/bin/lumo-parse" --words "${WORK}/build/arith.pt" "${SAMPLE}")
