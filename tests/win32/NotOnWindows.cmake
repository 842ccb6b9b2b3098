# Run by CTest in the Windows build once the core's tests are known: leaves
# out those that test what Windows does not have, and names why. A pattern
# that matches no test any more stops the run, so that none is kept by
# mistake.
set(not_on_windows
  "^ListFolder\\.SeparatesFilesAndSubfoldersInNameOrderIgnoringCase$"
    "it makes A.rpk beside a.rpk, which a file system that ignores case cannot hold"
  "^ReadFileFailure\\.AMissingFileIsReportedAndTheDataKept$"
    "it expects POSIX's words for a missing file, where Windows gives its own"
  "^CarToolTest\\."
    "its racers folder holds a car named with a tab, a line break and a backslash, which Windows forbids in names"
  "^CarEditorTest\\.TheNewScriptAndTheBackupKeepThePermissionsOfTheOld$"
    "Windows has no POSIX modes (the attributes a save keeps are tested in tests/win32)"
  "^CarEditorTest\\.AScriptTooLargeToHoldIsRefusedBeforeItIsRead$"
    "it makes a script of 100 GiB, which Windows does not keep sparse: the runtime refuses it beyond the free space"
)
list(LENGTH not_on_windows count)
math(EXPR last "${count} - 1")
foreach(index RANGE 0 ${last} 2)
  list(GET not_on_windows ${index} pattern)
  math(EXPR next "${index} + 1")
  list(GET not_on_windows ${next} reason)
  set(matched FALSE)
  foreach(test IN LISTS core_tests_TESTS)
    if(test MATCHES "${pattern}")
      set_tests_properties(${test} PROPERTIES DISABLED TRUE)
      message(STATUS "Not on Windows: ${test}: ${reason}")
      set(matched TRUE)
    endif()
  endforeach()
  if(NOT matched)
    message(FATAL_ERROR "No core test matches ${pattern} any more: update ${CMAKE_CURRENT_LIST_FILE}")
  endif()
endforeach()
