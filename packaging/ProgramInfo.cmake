# What the programs say about themselves: name, version, copyright and
# licence, as a header that any target may include as "ProgramInfo.h". The
# version is the project's own (the project() line of the top CMakeLists.txt),
# the copyright line and the licence text are read from LICENSE, so that the
# programs, the manual pages and the package cannot disagree.
file(READ "${PROJECT_SOURCE_DIR}/LICENSE" QUENDRAL_LICENCE_TEXT)
file(STRINGS "${PROJECT_SOURCE_DIR}/LICENSE" QUENDRAL_COPYRIGHT REGEX "^Copyright " LIMIT_COUNT 1)
if(NOT QUENDRAL_COPYRIGHT)
  message(FATAL_ERROR "LICENSE has no Copyright line")
endif()
set(QUENDRAL_LICENCE_NAME "MIT")
# The name a desktop knows the editor by: its desktop entry, icon and
# metainfo are all called so.
set(QUENDRAL_APP_ID io.github.quendral.CarEditor)
set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  "${PROJECT_SOURCE_DIR}/LICENSE")

configure_file("${CMAKE_CURRENT_LIST_DIR}/ProgramInfo.h.in"
  "${PROJECT_BINARY_DIR}/generated/ProgramInfo.h" @ONLY)
include_directories("${PROJECT_BINARY_DIR}/generated")
