# lumo_add_parse_table() refuses, at configure time, the lumo-gen options that
# would write something other than its tables. With -DOPT=... it makes that
# one call, otherwise it runs itself for every option.
cmake_minimum_required(VERSION 3.25)
if(DEFINED OPT)
    include(${MODULE})
    lumo_add_parse_table(t g.lm OPTIONS ${OPT})
    return()
endif()
foreach(opt -o --output --check --svg --lm --ebnf --cpp --namespace --svg=d --namespace=n "")
    execute_process(COMMAND ${CMAKE_COMMAND} -DOPT=${opt} -DMODULE=${MODULE}
                            -P ${CMAKE_CURRENT_LIST_FILE} ERROR_VARIABLE err RESULT_VARIABLE rc)
    string(REGEX REPLACE "=.*" "" expected "${opt}")
    string(APPEND expected " is not allowed in OPTIONS")
    if(opt STREQUAL "")
        set(expected "no lumo-gen")  # nothing refused: it gets as far as looking for lumo-gen
    endif()
    string(REGEX REPLACE "[ \n]+" " " err "${err}")
    if(rc EQUAL 0 OR NOT err MATCHES "${expected}")
        message(FATAL_ERROR "OPTIONS '${opt}': expected '${expected}', got: ${err}")
    endif()
endforeach()
