# The upper-case table must be what the generator makes, so that no hand edit
# changes a mapping unnoticed; with other Unicode data the check is skipped.
execute_process(COMMAND ${PYTHON} ${GENERATOR} OUTPUT_VARIABLE made COMMAND_ERROR_IS_FATAL ANY)
file(READ ${TABLE} committed)
string(REGEX MATCH "^[^\n]*" made_version "${made}")
string(REGEX MATCH "^[^\n]*" committed_version "${committed}")
if(NOT made_version STREQUAL committed_version)
    message("SKIP: this Python's Unicode data differs: ${made_version}")
elseif(NOT made STREQUAL committed)
    message(FATAL_ERROR "${TABLE} is not what ${GENERATOR} makes: run it again")
endif()
