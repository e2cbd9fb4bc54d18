# cmake -DPREFIX=<installed Lumo> -DSOURCE=<consumer/> -DGRAMMAR=<valid .lm>
#       -DBROKEN_GRAMMAR=<invalid .lm> -DWORK=<scratch folder> -DGENERATOR=<gen>
#       -DCXX_COMPILER=<c++> -DCONFIG=<config> -DLINK_FLAGS=<flags>
#       -DVERSION=<x.y.z> -P consumer.cmake
#
# Configures and builds the consumer project against the installed package,
# then edits its grammar and lumo-gen between builds to see that the tables
# and the generated parser follow: regenerated when either is newer, left
# alone otherwise, and a broken grammar fails the build until it is fixed. The grammar is a copy in the
# scratch folder; nothing in the source tree is touched.

set(src "${WORK}/src")
set(bin "${WORK}/build")
set(grammar "${src}/worked.lm")
set(table "${bin}/worked.pt")
set(nested_table "${bin}/tables/nested.pt")
set(parser "${bin}/lumo_parsers/worked_parser/worked_parser.h")

file(REMOVE_RECURSE "${WORK}")
file(COPY "${SOURCE}/" DESTINATION "${src}")
file(COPY_FILE "${GRAMMAR}" "${grammar}")

function(mtime var file)
    file(TIMESTAMP "${file}" t "%s%f" UTC)
    set(${var} "${t}" PARENT_SCOPE)
endfunction()

# Touches file until its time is strictly after reference's: the build tool
# only reruns a command whose input is newer than its outputs, and file
# times advance in steps of a few milliseconds.
function(touch_newer file reference)
    mtime(ref "${reference}")
    foreach(attempt RANGE 200)
        execute_process(COMMAND "${CMAKE_COMMAND}" -E touch "${file}")
        mtime(now "${file}")
        if(now GREATER ref)
            return()
        endif()
        execute_process(COMMAND "${CMAKE_COMMAND}" -E sleep 0.01)
    endforeach()
    message(FATAL_ERROR "${file} does not get newer than ${reference}")
endfunction()

# build(<OK|FAIL> <step> [cmake --build arguments...])
function(build expect step)
    execute_process(
        COMMAND "${CMAKE_COMMAND}" --build "${bin}" --config "${CONFIG}" --parallel 2 ${ARGN}
        RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(expect STREQUAL "OK" AND NOT result EQUAL 0)
        message(FATAL_ERROR "${step}: the build failed:\n${out}")
    elseif(expect STREQUAL "FAIL" AND result EQUAL 0)
        message(FATAL_ERROR "${step}: the build succeeded:\n${out}")
    endif()
    set(build_output "${out}" PARENT_SCOPE)
endfunction()

function(check_tables step base)
    foreach(file IN ITEMS "${base}.pt" "${base}.txt")
        if(NOT EXISTS "${file}")
            message(FATAL_ERROR "${step}: no ${file}")
        endif()
    endforeach()
    file(SIZE "${base}.pt" size)
    if(NOT size EQUAL 88)
        message(FATAL_ERROR "${step}: ${base}.pt is ${size} bytes, expected 88")
    endif()
endfunction()

function(expect_time step file op before)
    mtime(after "${file}")
    if(op STREQUAL "NEWER" AND NOT after GREATER before)
        message(FATAL_ERROR "${step}: ${file} was not regenerated")
    elseif(op STREQUAL "SAME" AND NOT after EQUAL before)
        message(FATAL_ERROR "${step}: ${file} was regenerated")
    endif()
endfunction()

execute_process(
    COMMAND "${CMAKE_COMMAND}" -S "${src}" -B "${bin}" -G "${GENERATOR}"
            "-DCMAKE_PREFIX_PATH=${PREFIX}"
            "-DCMAKE_BUILD_TYPE=${CONFIG}"
            "-DCMAKE_CXX_COMPILER=${CXX_COMPILER}"
            "-DCMAKE_EXE_LINKER_FLAGS=${LINK_FLAGS}"
            "-DLUMO_EXPECTED_VERSION=${VERSION}"
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "configuring the consumer failed:\n${out}")
endif()
# Another Lumo on the machine must not stand in for the one under test.
file(STRINGS "${bin}/CMakeCache.txt" lumo_dir REGEX "^Lumo_DIR:")
string(REGEX REPLACE "^[^=]*=" "" lumo_dir "${lumo_dir}")
cmake_path(IS_PREFIX PREFIX "${lumo_dir}" NORMALIZE from_prefix)
if(NOT from_prefix)
    message(FATAL_ERROR "the consumer found Lumo in ${lumo_dir}, not under ${PREFIX}")
endif()

# Building the program alone brings its own tables, in a folder of their own.
build(OK "reader" --target reader)
check_tables("reader" "${bin}/tables/nested")

build(OK "first build")
check_tables("first build" "${bin}/worked")
check_tables("first build" "${bin}/worked_ebnf")

file(STRINGS "${parser}" namespace_line REGEX "^namespace worked::v1 {$")
if(NOT namespace_line)
    message(FATAL_ERROR "first build: ${parser} is not in namespace worked::v1")
endif()

mtime(before "${table}")
mtime(nested_before "${nested_table}")
mtime(parser_before "${parser}")
build(OK "unchanged")
expect_time("unchanged" "${table}" SAME "${before}")
expect_time("unchanged" "${nested_table}" SAME "${nested_before}")
expect_time("unchanged" "${parser}" SAME "${parser_before}")

touch_newer("${grammar}" "${table}")
touch_newer("${grammar}" "${parser}")
build(OK "grammar touched")
expect_time("grammar touched" "${table}" NEWER "${before}")
expect_time("grammar touched" "${nested_table}" NEWER "${nested_before}")
expect_time("grammar touched" "${parser}" NEWER "${parser_before}")
check_tables("grammar touched" "${bin}/worked")

# A new lumo-gen may write different tables and parsers.
mtime(before "${table}")
mtime(parser_before "${parser}")
touch_newer("${PREFIX}/bin/lumo-gen" "${table}")
touch_newer("${PREFIX}/bin/lumo-gen" "${parser}")
build(OK "lumo-gen touched")
expect_time("lumo-gen touched" "${table}" NEWER "${before}")
expect_time("lumo-gen touched" "${parser}" NEWER "${parser_before}")

file(COPY_FILE "${BROKEN_GRAMMAR}" "${grammar}")
touch_newer("${grammar}" "${table}")
build(FAIL "broken grammar")
if(NOT build_output MATCHES "worked\\.lm: error: ")
    message(FATAL_ERROR "broken grammar: no error from lumo-gen:\n${build_output}")
endif()
build(FAIL "broken grammar, built again")

file(COPY_FILE "${GRAMMAR}" "${grammar}")
touch_newer("${grammar}" "${table}")
build(OK "grammar fixed")
check_tables("grammar fixed" "${bin}/worked")
