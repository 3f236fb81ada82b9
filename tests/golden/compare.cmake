# Compares two files; a difference is shown as a diff and fails the case.
function(compare expected actual what)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${expected} ${actual} RESULT_VARIABLE differ)
  if(differ)
    execute_process(COMMAND diff -u ${expected} ${actual})
    message(SEND_ERROR "${what} differs from ${expected}")
  endif()
endfunction()
