# Runs one golden case: -DTRELVAN=<binary> -DCASE=<dir/name> -DWORK=<scratch/name>
file(MAKE_DIRECTORY ${WORK})
set(expected_status 0)
if(EXISTS ${CASE}.status)
  file(STRINGS ${CASE}.status expected_status LIMIT_COUNT 1)
endif()

set(args --batch)
if(EXISTS ${CASE}.report.txt)
  list(APPEND args --report-text ${WORK}/report.txt)
endif()
if(EXISTS ${CASE}.analysis.txt)
  list(APPEND args --analysis-text ${WORK}/analysis.txt)
endif()

execute_process(COMMAND ${TRELVAN} ${args}
                INPUT_FILE ${CASE}.replies
                OUTPUT_FILE ${WORK}/transcript
                ERROR_FILE ${WORK}/stderr
                RESULT_VARIABLE status)

set(failed FALSE)
include(${CMAKE_CURRENT_LIST_DIR}/compare.cmake)

compare(${CASE}.transcript ${WORK}/transcript "transcript")
if(EXISTS ${CASE}.report.txt)
  if(NOT EXISTS ${WORK}/report.txt)
    message(SEND_ERROR "no text report was written")
  else()
    compare(${CASE}.report.txt ${WORK}/report.txt "text report")
  endif()
endif()
if(EXISTS ${CASE}.analysis.txt)
  if(NOT EXISTS ${WORK}/analysis.txt)
    message(SEND_ERROR "no analysis text was written")
  else()
    compare(${CASE}.analysis.txt ${WORK}/analysis.txt "analysis text")
  endif()
endif()
if(NOT status STREQUAL expected_status)
  file(READ ${WORK}/stderr err)
  message(SEND_ERROR "exit status ${status}, expected ${expected_status}\n${err}")
endif()
