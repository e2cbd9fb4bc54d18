# Installs the build into a fresh prefix (so that no file the install stopped
# providing lingers), builds the consumer project against it and runs its
# programs, then edits its grammar and lumo-gen between builds: the tables and
# the generated parser follow either, and a broken grammar fails the build
# until it is fixed. Arguments: see tests/cmake/CMakeLists.txt.
set(prefix "${WORK}/prefix")
set(src "${WORK}/src")
set(bin "${WORK}/build")
set(grammar "${src}/worked.lm")
set(outputs "${bin}/worked.pt" "${bin}/tables/nested.pt"
            "${bin}/lumo_parsers/worked_parser/worked_parser.h")

# run(<OK|FAIL> <step> <command>...): leaves what the command printed in `out`.
function(run expect step)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(result EQUAL 0 AND expect STREQUAL "FAIL" OR NOT result EQUAL 0 AND expect STREQUAL "OK")
        message(FATAL_ERROR "${step}: expected ${expect}, got ${result}:\n${out}")
    endif()
    set(out "${out}" PARENT_SCOPE)
endfunction()
function(build expect step)
    run(${expect} "${step}" "${CMAKE_COMMAND}" --build "${bin}" --config "${CONFIG}" --parallel 2)
    set(out "${out}" PARENT_SCOPE)
endfunction()
# The outputs' times, to the microsecond.
function(times var)
    set(list "")
    foreach(file IN LISTS outputs)
        file(TIMESTAMP "${file}" t "%s%f" UTC)
        list(APPEND list "${t}")
    endforeach()
    set(${var} "${list}" PARENT_SCOPE)
endfunction()
# rebuild(<step> <SAME|NEWER>): builds, and every output is as old, or newer.
function(rebuild step change)
    times(before)
    build(OK "${step}")
    times(after)
    foreach(b a IN ZIP_LISTS before after)
        if(change STREQUAL "SAME" AND NOT a EQUAL b OR change STREQUAL "NEWER" AND NOT a GREATER b)
            message(FATAL_ERROR "${step}: the outputs ${outputs} went from ${before} to ${after}")
        endif()
    endforeach()
endfunction()
# same(<step> <base>...): each base's .pt and .txt are what this build made of worked.lm.
function(same step)
    foreach(file IN LISTS ARGN)
        foreach(ext pt txt)
            run(OK "${step}" "${CMAKE_COMMAND}" -E compare_files "${REFERENCE}.${ext}" "${file}.${ext}")
        endforeach()
    endforeach()
endfunction()
# expect(<line> <program> <token>...): the program prints exactly that line.
function(expect line program)
    run(OK "${program}" "${bin}/${program}" ${ARGN})
    if(NOT out STREQUAL "${line}\n")
        message(FATAL_ERROR "${program} ${ARGN} printed:\n${out}expected:\n${line}")
    endif()
endfunction()

file(REMOVE_RECURSE "${WORK}")
run(OK "install" "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}" --config "${CONFIG}")
# The runtime installs its public API and nothing of its layout; every header
# an installed header includes is installed too.
set(include_dir "${prefix}/include/lumo")
file(GLOB runtime_headers RELATIVE "${include_dir}/runtime" "${include_dir}/runtime/*")
if(NOT runtime_headers STREQUAL "parse_table.h;parser.h")
    message(FATAL_ERROR "installed runtime/: ${runtime_headers}; expected parse_table.h;parser.h")
endif()
file(GLOB_RECURSE headers RELATIVE "${include_dir}" "${include_dir}/*.h")
foreach(header IN LISTS headers)
    file(STRINGS "${include_dir}/${header}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS includes)
        string(REGEX MATCH "\"([^\"]+)\"" ignored "${line}")
        if(NOT EXISTS "${include_dir}/${CMAKE_MATCH_1}")
            message(FATAL_ERROR "installed ${header} includes ${CMAKE_MATCH_1}, not installed")
        endif()
    endforeach()
endforeach()

file(COPY "${CMAKE_CURRENT_LIST_DIR}/consumer/" DESTINATION "${src}")
file(COPY_FILE "${CMAKE_CURRENT_LIST_DIR}/../../examples/worked.lm" "${grammar}")
run(OK "configure" "${CMAKE_COMMAND}" -S "${src}" -B "${bin}" -G "${GENERATOR}"
    "-DCMAKE_PREFIX_PATH=${prefix}" "-DCMAKE_BUILD_TYPE=${CONFIG}"
    "-DCMAKE_CXX_COMPILER=${CXX_COMPILER}" "-DCMAKE_EXE_LINKER_FLAGS=${LINK_FLAGS}"
    "-DLUMO_EXPECTED_VERSION=${VERSION}")
# Another Lumo on the machine must not stand in for the one under test.
file(STRINGS "${bin}/CMakeCache.txt" lumo_dir REGEX "^Lumo_DIR:")
string(REGEX REPLACE "^[^=]*=" "" lumo_dir "${lumo_dir}")
cmake_path(IS_PREFIX prefix "${lumo_dir}" NORMALIZE from_prefix)
if(NOT from_prefix)
    message(FATAL_ERROR "the consumer found Lumo in ${lumo_dir}, not under ${prefix}")
endif()

# Building the program alone brings its own tables, in a folder of their own.
run(OK "reader" "${CMAKE_COMMAND}" --build "${bin}" --config "${CONFIG}" --target reader)
same("reader" "${bin}/tables/nested")
build(OK "first build")
same("first build" "${bin}/worked" "${bin}/worked_ebnf" "${bin}/tables/nested")
set(refusal "unexpected \"a\" in graph \"MAIN\" at node #2; expected \"b\"")
expect("ok" parse a b)
expect("${refusal}" parse a a)
expect("@push ok" parse_generated a b)
expect("@push ${refusal}" parse_generated a a)

# The build tool reruns only what is older than its inputs: times are set a
# minute ahead, to now, or back.
rebuild("unchanged" SAME)
run(OK "touch" touch -d "+1 minute" "${grammar}")
rebuild("grammar touched" NEWER)
# A new lumo-gen may write different tables and parsers.
run(OK "touch" touch -d "-1 hour" "${grammar}")
run(OK "touch" touch -d "+1 minute" "${prefix}/bin/lumo-gen")
rebuild("lumo-gen touched" NEWER)
run(OK "touch" touch -d "-1 hour" "${prefix}/bin/lumo-gen")

file(COPY_FILE "${CMAKE_CURRENT_LIST_DIR}/no_final_node.lm" "${grammar}")
run(OK "touch" touch -d now "${grammar}")
build(FAIL "broken grammar")
if(NOT out MATCHES "worked\\.lm: error: ")
    message(FATAL_ERROR "broken grammar: no error from lumo-gen:\n${out}")
endif()
build(FAIL "broken grammar, built again")
file(COPY_FILE "${CMAKE_CURRENT_LIST_DIR}/../../examples/worked.lm" "${grammar}")
run(OK "touch" touch -d now "${grammar}")
build(OK "grammar fixed")
same("grammar fixed" "${bin}/worked")
