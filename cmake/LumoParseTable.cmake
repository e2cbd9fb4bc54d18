# Build-time parse tables from Lumo grammars: documents drawn in the editor
# (.lm) or EBNF texts (.ebnf).
#
#   lumo_add_parse_table(<name> <grammar.lm|grammar.ebnf>
#                        [OUTPUT_BASE <base>]
#                        [OPTIONS <lumo-gen arguments>...])
#
# Adds a custom command that runs lumo-gen on the grammar whenever the
# grammar or lumo-gen itself is newer than the tables, writing <base>.pt and
# <base>.txt. A relative grammar path is taken from the current source
# directory; <base> defaults to the grammar's name without its extension in
# the current binary directory, and a relative <base> is taken from there.
# The command only runs for a target that uses the outputs, so hand them to
# one (add_custom_target(... ALL DEPENDS ${LUMO_<name>_OUTPUTS}),
# target_sources() or lumo_target_parse_tables()). Sets, in the caller's
# scope:
#
#   LUMO_<name>_DEFINED  TRUE
#   LUMO_<name>_INPUT    the grammar, as an absolute path
#   LUMO_<name>_OUTPUTS  <base>.pt and <base>.txt
#   LUMO_<name>_TABLE    <base>.pt, the binary table
#   LUMO_<name>_TEXT     <base>.txt, the textual table
#
#   lumo_target_parse_tables(<target> <name>...)
#
# Makes building <target> bring the tables of each <name> up to date. Like any
# custom command output, the tables can only be attached to a target created
# in the directory that called lumo_add_parse_table().
#
# lumo-gen is the imported Lumo::lumo-gen from find_package(Lumo), or the
# lumo-gen target when this file is used inside Lumo's own build.

include_guard(GLOBAL)

function(lumo_add_parse_table name grammar)
    cmake_parse_arguments(PARSE_ARGV 2 ARG "" "OUTPUT_BASE" "OPTIONS")
    if(ARG_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "lumo_add_parse_table(${name}): unexpected arguments: "
                            "${ARG_UNPARSED_ARGUMENTS}")
    endif()
    if("OUTPUT_BASE" IN_LIST ARG_KEYWORDS_MISSING_VALUES)
        message(FATAL_ERROR "lumo_add_parse_table(${name}): OUTPUT_BASE needs a value")
    endif()
    # These would make lumo-gen write somewhere else or nothing at all, and the
    # declared outputs would then never appear: the command would run on
    # every build. "--opt=value" counts as --opt.
    set(given "")
    foreach(arg IN LISTS ARG_OPTIONS)
        string(REGEX REPLACE "^(--[^=]+)=.*$" "\\1" arg "${arg}")
        list(APPEND given "${arg}")
    endforeach()
    foreach(opt IN ITEMS -o --output --check --svg --lm --ebnf --cpp --namespace)
        if(opt IN_LIST given)
            message(FATAL_ERROR "lumo_add_parse_table(${name}): ${opt} is not allowed in "
                                "OPTIONS: the tables are always written, where "
                                "OUTPUT_BASE says")
        endif()
    endforeach()

    # The installed package wins: a project that finds Lumo and also happens to
    # build it gets the same lumo-gen its consumers will get.
    if(TARGET Lumo::lumo-gen)
        set(gen Lumo::lumo-gen)
    elseif(TARGET lumo-gen)
        set(gen lumo-gen)
    else()
        message(FATAL_ERROR "lumo_add_parse_table(${name}): no lumo-gen; "
                            "call find_package(Lumo) first")
    endif()

    cmake_path(ABSOLUTE_PATH grammar BASE_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}" NORMALIZE)
    if(DEFINED ARG_OUTPUT_BASE)
        set(base "${ARG_OUTPUT_BASE}")
    else()
        # lumo-gen's own default replaces only the last extension; so does this.
        cmake_path(GET grammar STEM LAST_ONLY base)
    endif()
    cmake_path(ABSOLUTE_PATH base BASE_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}" NORMALIZE)
    cmake_path(GET base PARENT_PATH base_dir)
    cmake_path(GET grammar FILENAME grammar_name)

    set(table "${base}.pt")
    set(text "${base}.txt")
    # lumo-gen does not create folders, and a clean build tree may lack one
    # named by OUTPUT_BASE. Naming the target in COMMAND and DEPENDS gives its
    # path, the order dependency on building it, and a rerun when it changes.
    add_custom_command(
        OUTPUT "${table}" "${text}"
        COMMAND "${CMAKE_COMMAND}" -E make_directory "${base_dir}"
        COMMAND ${gen} ${ARG_OPTIONS} -o "${base}" "${grammar}"
        MAIN_DEPENDENCY "${grammar}"
        DEPENDS ${gen}
        COMMENT "[LUMO][${name}] Generating parse tables from ${grammar_name}"
        VERBATIM)

    set(LUMO_${name}_DEFINED TRUE PARENT_SCOPE)
    set(LUMO_${name}_INPUT "${grammar}" PARENT_SCOPE)
    set(LUMO_${name}_OUTPUTS "${table}" "${text}" PARENT_SCOPE)
    set(LUMO_${name}_TABLE "${table}" PARENT_SCOPE)
    set(LUMO_${name}_TEXT "${text}" PARENT_SCOPE)
endfunction()

function(lumo_target_parse_tables target)
    if(NOT TARGET "${target}")
        message(FATAL_ERROR "lumo_target_parse_tables: no target '${target}'")
    endif()
    foreach(name IN LISTS ARGN)
        if(NOT LUMO_${name}_DEFINED)
            message(FATAL_ERROR "lumo_target_parse_tables(${target}): no parse table "
                                "'${name}'; call lumo_add_parse_table(${name} ...) first")
        endif()
        # Tables are not compiled, so as sources they only make the target
        # run the command that produces them.
        target_sources("${target}" PRIVATE ${LUMO_${name}_OUTPUTS})
    endforeach()
endfunction()
