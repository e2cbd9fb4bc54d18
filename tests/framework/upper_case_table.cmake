# The upper-case table is generated: it must be what the generator makes, so
# that no hand edit (or slip) changes one character's mapping unnoticed. A
# Python with other Unicode data makes another table, and the check is then
# skipped rather than failed.
execute_process(COMMAND ${PYTHON} ${GENERATOR} OUTPUT_VARIABLE made RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${GENERATOR} failed")
endif()
file(READ ${TABLE} committed)
string(REGEX MATCH "^[^\n]*" made_version "${made}")
string(REGEX MATCH "^[^\n]*" committed_version "${committed}")
if(NOT made_version STREQUAL committed_version)
    message("SKIP: this Python's Unicode data differs: ${made_version}")
elseif(NOT made STREQUAL committed)
    message(FATAL_ERROR "${TABLE} is not what ${GENERATOR} makes: run it again")
endif()
