# CLI11 for the Windows build: it is headers only, the same for every
# target, so Debian's are used. They are given through a folder of their
# own, since the build machine's /usr/include as a whole would put its C
# library's headers before the cross compiler's.
find_path(QUENDRAL_CLI11_HEADERS CLI/CLI.hpp PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT QUENDRAL_CLI11_HEADERS)
  set(CLI11_FOUND FALSE)
  set(CLI11_NOT_FOUND_MESSAGE "no CLI11 headers in /usr/include: install libcli11-dev")
  return()
endif()
if(NOT TARGET CLI11::CLI11)
  set(staged ${PROJECT_BINARY_DIR}/cli11-headers)
  file(MAKE_DIRECTORY ${staged})
  file(CREATE_LINK ${QUENDRAL_CLI11_HEADERS}/CLI ${staged}/CLI SYMBOLIC)
  add_library(CLI11::CLI11 INTERFACE IMPORTED)
  set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${staged})
endif()
set(CLI11_FOUND TRUE)
