# Checks that every file under a source folder includes only from its own
# layer and the layers below it, as docs/ARCHITECTURE.md draws them:
#
#     cmake -DSOURCE_DIR=<dir> -P cmake/LumoLayers.cmake
#
# A layer is a folder below SOURCE_DIR; a file, and a quoted include
# ("model/graph.h"), belong to the longest layer their path starts with, so a
# subfolder can be a layer of its own (runtime/cli, the lumo-parse tool, is
# not the runtime library). Quoted includes whose folder is no layer
# (generated headers such as "lumo_version.h") are not checked. <Q...>
# includes count as the layer qt, so the headless layers cannot reach Qt.
# A folder with no layer fails the check until it is given one: add a line
# below, and a row to the map.

# LAYER: what its files may include besides their own layer: layers, or
# single headers of a layer that are meant to be shared beyond it.
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
    "runtime/cli: bytes runtime cli/tool.h"
)

get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)
if(NOT IS_DIRECTORY "${SOURCE_DIR}")
    message(FATAL_ERROR "SOURCE_DIR (${SOURCE_DIR}) is not a folder")
endif()

set(layers "")
foreach(entry IN LISTS LUMO_LAYERS)
    string(REGEX MATCH "^([a-z_/]+):(.*)$" ignored "${entry}")
    set(layer "${CMAKE_MATCH_1}")
    string(REGEX MATCHALL "[a-z_/.]+" allowed "${CMAKE_MATCH_2}")
    set(allowed_${layer} ${layer} ${allowed})
    list(APPEND layers ${layer})
endforeach()

# layer_of(VAR PATH): the longest layer PATH lies in, or "".
function(layer_of var path)
    set(best "")
    foreach(layer IN LISTS layers)
        string(LENGTH "${layer}" length)
        string(LENGTH "${best}" best_length)
        if(path MATCHES "^${layer}/" AND length GREATER best_length)
            set(best "${layer}")
        endif()
    endforeach()
    set(${var} "${best}" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.hpp"
     "${SOURCE_DIR}/*.cpp" "${SOURCE_DIR}/*.cc" "${SOURCE_DIR}/*.in")
list(SORT files)
set(failures "")
foreach(file IN LISTS files)
    if(NOT file MATCHES "/")
        continue()  # top-level files belong to no layer
    endif()
    layer_of(layer "${file}")
    if(layer STREQUAL "")
        string(REGEX MATCH "^[^/]+" folder "${file}")
        string(APPEND failures "  ${file}: src/${folder} has no layer in cmake/LumoLayers.cmake\n")
        continue()
    endif()
    file(STRINGS "${SOURCE_DIR}/${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS includes)
        if(line MATCHES "include[ \t]*\"([^\"]+)\"")
            set(header "${CMAKE_MATCH_1}")
            layer_of(target "${header}")
            if(target STREQUAL "")
                continue()  # a generated header, or one beside the file
            endif()
        elseif(line MATCHES "include[ \t]*<Q")
            set(header "")
            set(target "qt")
        else()
            continue()
        endif()
        list(FIND allowed_${layer} "${target}" layer_ok)
        list(FIND allowed_${layer} "${header}" header_ok)
        if(layer_ok EQUAL -1 AND header_ok EQUAL -1)
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
