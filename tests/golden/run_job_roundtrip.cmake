# Round trip of one golden case through a job file, with the real program:
#   -DTRELVAN=<binary> -DCASE=<dir/name> -DWORK=<scratch/name> [-DJOB=<expected .trv>]
#
# The replies are typed with --save-job. Only a completed action writes a job. That
# job, computed with --job, must give the typed run's transcript apart from the
# replies ("> " lines) and the same report, and saved again it must be the same
# file. A case whose replies correct themselves along the way (a "0" at a
# confirmation, a refused reply) keeps only the values accepted: its job computes
# without them, so from the misclosures on (Text15) the two transcripts agree.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

execute_process(COMMAND ${TRELVAN} --batch --save-job ${WORK}/job.trv --report-text ${WORK}/typed.report
                INPUT_FILE ${CASE}.replies
                OUTPUT_FILE ${WORK}/typed.transcript
                ERROR_FILE ${WORK}/typed.stderr
                RESULT_VARIABLE typed_status)

include(${CMAKE_CURRENT_LIST_DIR}/compare.cmake)

if(NOT typed_status EQUAL 0)
  if(EXISTS ${WORK}/job.trv)
    message(SEND_ERROR "an action that did not complete (status ${typed_status}) saved a job")
  endif()
  file(GLOB leftovers ${WORK}/.job.trv.*)
  if(leftovers)
    message(SEND_ERROR "temporary files left behind: ${leftovers}")
  endif()
  return()
endif()

if(DEFINED JOB)
  compare(${JOB} ${WORK}/job.trv "the saved job")
endif()

execute_process(COMMAND ${TRELVAN} --batch --job ${WORK}/job.trv --save-job ${WORK}/again.trv
                        --report-text ${WORK}/job.report
                INPUT_FILE /dev/null
                OUTPUT_FILE ${WORK}/job.transcript
                ERROR_FILE ${WORK}/job.stderr
                RESULT_VARIABLE job_status)
if(NOT job_status EQUAL 0)
  file(READ ${WORK}/job.stderr err)
  message(SEND_ERROR "the job computed with status ${job_status}\n${err}")
endif()
compare(${WORK}/job.trv ${WORK}/again.trv "the job saved from the job")
compare(${WORK}/typed.report ${WORK}/job.report "the report")

# The transcripts without the replies; from the misclosures on for a case that
# corrects itself.
set(range "1,$p")
if(CASE MATCHES "_reentered$")
  set(range "/^Text15: /,$p")
endif()
function(events file out)
  execute_process(COMMAND sh -c "sed -n \"$1\" \"$2\" | grep -v '^> '" sh "${range}" ${file}
                  OUTPUT_FILE ${out})
endfunction()
events(${WORK}/typed.transcript ${WORK}/typed.events)
events(${WORK}/job.transcript ${WORK}/job.events)
compare(${WORK}/typed.events ${WORK}/job.events "the transcript of the job")
file(STRINGS ${WORK}/job.events said REGEX "^! ")
if(said)
  message(SEND_ERROR "computing the job said something of its own: ${said}")
endif()
