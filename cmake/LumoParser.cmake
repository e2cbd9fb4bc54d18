# Build-time C++ parsers from Lumo grammars.
#
#   lumo_add_parser(<name> <grammar> [NAMESPACE <namespace>])
#
# Adds a static library target <name> holding the parser that
# `lumo-gen --cpp` writes for <grammar>, regenerated whenever the grammar or
# lumo-gen itself is newer than the parser. A program links <name> and
# includes "<name>.h"; everything in it is in the namespace <namespace>
# (one name, or names joined by "::"), by default <name> made an identifier
# ("my-parser" gives my_parser). The parser needs C++20 and nothing but the
# standard library. A relative <grammar> is taken from the current source
# directory. Sets, in the caller's scope:
#
#   LUMO_<name>_HEADER  the generated header
#   LUMO_<name>_SOURCE  the generated source
#
# lumo-gen is the imported Lumo::lumo-gen from find_package(Lumo), or the
# lumo-gen target when this file is used inside Lumo's own build.

include_guard(GLOBAL)

function(lumo_add_parser name grammar)
    cmake_parse_arguments(PARSE_ARGV 2 ARG "" "NAMESPACE" "")
    if(ARG_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "lumo_add_parser(${name}): unexpected arguments: "
                            "${ARG_UNPARSED_ARGUMENTS}")
    endif()
    if("NAMESPACE" IN_LIST ARG_KEYWORDS_MISSING_VALUES)
        message(FATAL_ERROR "lumo_add_parser(${name}): NAMESPACE needs a value")
    endif()
    if(TARGET Lumo::lumo-gen)
        set(gen Lumo::lumo-gen)
    elseif(TARGET lumo-gen)
        set(gen lumo-gen)
    else()
        message(FATAL_ERROR "lumo_add_parser(${name}): no lumo-gen; call find_package(Lumo) first")
    endif()

    cmake_path(ABSOLUTE_PATH grammar BASE_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}" NORMALIZE)
    cmake_path(GET grammar FILENAME grammar_name)
    # A folder of its own, so that the include path holds nothing else.
    set(dir "${CMAKE_CURRENT_BINARY_DIR}/lumo_parsers/${name}")
    set(header "${dir}/${name}.h")
    set(source "${dir}/${name}.cpp")
    set(namespace_option)
    if(DEFINED ARG_NAMESPACE)
        set(namespace_option --namespace "${ARG_NAMESPACE}")
    endif()
    add_custom_command(
        OUTPUT "${header}" "${source}"
        COMMAND "${CMAKE_COMMAND}" -E make_directory "${dir}"
        COMMAND ${gen} --cpp "${dir}/${name}" ${namespace_option} "${grammar}"
        MAIN_DEPENDENCY "${grammar}"
        DEPENDS ${gen}
        COMMENT "[LUMO][${name}] Generating a C++ parser from ${grammar_name}"
        VERBATIM)

    add_library(${name} STATIC "${source}" "${header}")
    target_include_directories(${name} PUBLIC "${dir}")
    target_compile_features(${name} PUBLIC cxx_std_20)
    set(LUMO_${name}_HEADER "${header}" PARENT_SCOPE)
    set(LUMO_${name}_SOURCE "${source}" PARENT_SCOPE)
endfunction()
