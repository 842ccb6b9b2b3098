# Run by CTest in the Windows build once the core's tests are known: leaves
# out those that test what Windows does not have, and names why. A pattern
# that matches no test any more stops the run, so that none is kept by
# mistake.
set(not_on_windows
  "^CarEditorTest\\.RacersFolderScans$"
    "it makes A.rpk beside a.rpk, folders that differ only in case, symbolic links and names that are no UTF-8, which Windows' file systems cannot hold (case and hidden entries are tested in tests/win32)"
  "^CarEditorTest\\.AScriptTooLargeToHoldIsRefusedBeforeItIsRead$"
    "it makes a script of 100 GiB, which Windows does not keep sparse: the runtime refuses it beyond the free space"
  "^FileLayer\\.TheSaveLockKeepsOutASecondTakerAndFollowsNoLink$"
    "it makes a symbolic link, which Windows lets only administrators make and Wine not at all (the save lock itself is tested in tests/win32)"
  "^CarToolTest\\."
    "its racers folder holds a car named with a tab, a line break and a backslash, which Windows forbids in names"
  "^GarageTest\\.CheckNamesEachSeededProblemOnceWritesNothingAndPassesTheDemoCars$"
    "it makes cars named Twin and twin, which a file system that ignores case cannot hold, and expects POSIX's words for a missing file"
  "^GarageTest\\.ImportOfAnExportedTableChangesExactlyItsChangedCellsOrNothingAtAll$"
    "its racers folder holds cars named with a tab, a line break and quotes, which Windows forbids in names"
  "^History\\.EachRunExitsAndPrintsAsExpected$"
    "its expected texts are regular expressions with POSIX's paths in them (the versions a save keeps on Windows are tested in tests/win32 and by tools/build-windows)"
  "^History\\.TheDryRunDiffPatchedIsWhatSetWrites$"
    "it applies the printed diff with patch, which Windows does not have"
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
