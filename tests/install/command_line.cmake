# The command line's own questions, on the real program. --help and --version answer
# on standard output with status 0, wherever they stand among the options, but not
# when they stand where an option's file name goes; a wrong command line is a usage
# error, with what is wrong and the same usage on standard error and nothing on
# standard output; a batch run that stops early says why on standard error.
#
#   cmake -DTRELVAN=PROGRAM -DVERSION=X.Y.Z -DWORK=FOLDER -P command_line.cmake

cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(faults 0)

# Runs the program with standard input empty; sets out, err and status.
macro(run)
  execute_process(COMMAND ${TRELVAN} ${ARGN} INPUT_FILE /dev/null WORKING_DIRECTORY ${WORK}
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
endmacro()

run(--help)
set(usage "${out}")
if(NOT usage MATCHES "^usage: trelvan")
  message(FATAL_ERROR "trelvan --help printed no usage:\n${out}${err}")
endif()
set(version "trelvan ${VERSION}\n")

# status | standard output | standard error | arguments
set(cases
    "0|version|empty|--version"
    "0|usage|empty|--help"
    "0|usage|empty|--batch --help"
    "0|usage|empty|--help --version"
    "0|version|empty|--version --help"
    "0|version|empty|chain.trv --version"
    "0|version|empty|--report-text out.txt --version"
    "0|usage|empty|--batch --report-pdf out.pdf --job chain.trv --help"
    "2|empty|usage|--bogus"
    "2|empty|usage|--help=all"
    "2|empty|usage|--batch --report-text"
    "2|empty|usage|--report-text out.txt"
    "3|transcript|reason|--batch --report-text --version"
    "3|transcript|reason|--batch --report-pdf --help")

foreach(case IN LISTS cases)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 want_status)
  list(GET fields 1 want_out)
  list(GET fields 2 want_err)
  list(GET fields 3 arguments)
  separate_arguments(arguments UNIX_COMMAND "${arguments}")
  run(${arguments})
  set(seen "")
  if(NOT status STREQUAL want_status)
    string(APPEND seen " status ${status}, not ${want_status};")
  endif()
  foreach(stream out err)
    set(text "${${stream}}")
    set(want "${want_${stream}}")
    if(want STREQUAL "usage" AND stream STREQUAL "out")
      string(COMPARE EQUAL "${text}" "${usage}" ok)
    elseif(want STREQUAL "usage")  # what is wrong, on a line of its own, then the usage
      string(FIND "${text}" "\n${usage}" at)
      string(LENGTH "${text}" text_length)
      string(LENGTH "\n${usage}" usage_length)
      math(EXPR usage_at "${text_length} - ${usage_length}")
      if(text MATCHES "^trelvan: [^\n]+\n" AND at EQUAL usage_at)
        set(ok TRUE)
      else()
        set(ok FALSE)
      endif()
    elseif(want STREQUAL "reason")  # one line that says why, and no usage
      if(text MATCHES "^[^\n]+\n$" AND NOT text MATCHES "usage: trelvan")
        set(ok TRUE)
      else()
        set(ok FALSE)
      endif()
    elseif(want STREQUAL "version")
      string(COMPARE EQUAL "${text}" "${version}" ok)
    elseif(want STREQUAL "empty")
      string(COMPARE EQUAL "${text}" "" ok)
    else()  # the transcript of a batch run: prompts, and neither usage nor version
      if(text MATCHES "^\\? " AND NOT text MATCHES "usage: trelvan|trelvan ${VERSION}")
        set(ok TRUE)
      else()
        set(ok FALSE)
      endif()
    endif()
    if(NOT ok)
      string(APPEND seen " standard ${stream} is not ${want}: [${text}];")
    endif()
  endforeach()
  # A name that stood in a file option's place is a file name, never an option.
  foreach(name --version --help)
    if(EXISTS ${WORK}/${name})
      string(APPEND seen " a file named ${name} was written;")
    endif()
  endforeach()
  if(seen)
    message(SEND_ERROR "trelvan ${case}:${seen}")
    math(EXPR faults "${faults} + 1")
  endif()
endforeach()

# An answer that cannot be delivered is no success.
foreach(question --help --version)
  execute_process(COMMAND ${TRELVAN} ${question} OUTPUT_FILE /dev/full ERROR_VARIABLE err RESULT_VARIABLE status)
  if(status EQUAL 0 OR err STREQUAL "")
    message(SEND_ERROR "trelvan ${question} > /dev/full: status ${status}, standard error [${err}]")
    math(EXPR faults "${faults} + 1")
  endif()
endforeach()

if(faults GREATER 0)
  message(FATAL_ERROR "${faults} command line(s) answered wrongly")
endif()
