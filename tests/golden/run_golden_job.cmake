# Runs one golden job: -DTRELVAN=<binary> -DCASE=<dir/name> -DWORK=<scratch/name>
#
# CASE.trv is computed with --job. Standard output must equal CASE.transcript, and
# each of CASE.report.txt, CASE.reduction.txt and CASE.reduction.json that exists the
# file the program writes; the job saved from the computation must be CASE.trv itself,
# byte for byte; the exit status must equal CASE.status (0 when there is none).
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(expected_status 0)
if(EXISTS ${CASE}.status)
  file(STRINGS ${CASE}.status expected_status LIMIT_COUNT 1)
endif()

set(args --batch --job ${CASE}.trv --save-job ${WORK}/saved.trv)
set(outputs report.txt reduction.txt reduction.json)
set(options --report-text --reduction-text --reduction-json)
foreach(output option IN ZIP_LISTS outputs options)
  if(EXISTS ${CASE}.${output})
    list(APPEND args ${option} ${WORK}/${output})
  endif()
endforeach()

execute_process(COMMAND ${TRELVAN} ${args}
                INPUT_FILE /dev/null
                OUTPUT_FILE ${WORK}/transcript
                ERROR_FILE ${WORK}/stderr
                RESULT_VARIABLE status)

include(${CMAKE_CURRENT_LIST_DIR}/compare.cmake)
compare(${CASE}.transcript ${WORK}/transcript "transcript")
foreach(output ${outputs})
  if(EXISTS ${CASE}.${output})
    if(NOT EXISTS ${WORK}/${output})
      message(SEND_ERROR "${output} was not written")
    else()
      compare(${CASE}.${output} ${WORK}/${output} "${output}")
    endif()
  endif()
endforeach()
if(status EQUAL 0)
  compare(${CASE}.trv ${WORK}/saved.trv "the job saved from the job")
endif()
if(NOT status STREQUAL expected_status)
  file(READ ${WORK}/stderr err)
  message(SEND_ERROR "exit status ${status}, expected ${expected_status}\n${err}")
endif()
