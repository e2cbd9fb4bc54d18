# Checks that every file under a source folder includes only from its own
# layer and the layers below it, as docs/ARCHITECTURE.md draws them:
#
#     cmake -DSOURCE_DIR=<dir> -P cmake/LumoLayers.cmake
#
# A file's layer is the first folder of its path below SOURCE_DIR; an
# include's is the first folder of the quoted path ("model/graph.h" is in
# model). Quoted includes without a folder (generated headers such as
# "lumo_version.h") are not checked. <Q...> includes count as the layer qt,
# so the headless layers cannot reach Qt. A folder with no entry below fails
# the check until it is given one: add a line, and a line to the map.

# LAYER: what its files may include, besides themselves.
set(LUMO_LAYERS
    "bytes:"
    "framework: bytes"
    "model: bytes framework"
    "generate: bytes framework model"
    "ebnf: bytes framework model"
    "codegen: bytes framework model generate"
    "cli: bytes framework model generate ebnf codegen"
    "editor: bytes framework model generate ebnf codegen qt"
    "app: bytes framework model generate ebnf codegen editor qt"
    "runtime: bytes"
)

get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)
if(NOT IS_DIRECTORY "${SOURCE_DIR}")
    message(FATAL_ERROR "SOURCE_DIR (${SOURCE_DIR}) is not a folder")
endif()

set(known "qt")
foreach(entry IN LISTS LUMO_LAYERS)
    string(REGEX MATCH "^([a-z_]+):(.*)$" ignored "${entry}")
    set(layer "${CMAKE_MATCH_1}")
    string(REGEX MATCHALL "[a-z_]+" allowed "${CMAKE_MATCH_2}")
    set(allowed_${layer} ${layer} ${allowed})
    list(APPEND known ${layer})
endforeach()

file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.hpp"
     "${SOURCE_DIR}/*.cpp" "${SOURCE_DIR}/*.cc" "${SOURCE_DIR}/*.in")
list(SORT files)
set(failures "")
foreach(file IN LISTS files)
    if(NOT file MATCHES "/")
        continue()  # top-level files belong to no layer
    endif()
    string(REGEX MATCH "^[^/]+" layer "${file}")
    if(NOT DEFINED allowed_${layer})
        string(APPEND failures "  ${file}: src/${layer} has no layer in cmake/LumoLayers.cmake\n")
        continue()
    endif()
    file(STRINGS "${SOURCE_DIR}/${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS includes)
        if(line MATCHES "include[ \t]*\"([^/\"]+)/[^\"]*\"")
            set(target "${CMAKE_MATCH_1}")
        elseif(line MATCHES "include[ \t]*<Q")
            set(target "qt")
        else()
            continue()
        endif()
        list(FIND known "${target}" is_layer)
        if(is_layer EQUAL -1)
            continue()  # a subfolder of the file's own, or a generated header
        endif()
        list(FIND allowed_${layer} "${target}" ok)
        if(ok EQUAL -1)
            string(STRIP "${line}" line)
            string(APPEND failures "  ${file}: ${layer} may not include ${target}: ${line}\n")
        endif()
    endforeach()
endforeach()

if(failures)
    message(FATAL_ERROR "Includes that cross the layers:\n${failures}")
endif()
list(LENGTH files count)
message(STATUS "${count} files keep to their layers")
