# Builds for Debian as Debian builds its own packages: the hardening flags of
# dpkg-buildflags (fortified functions, stack protector, read-only
# relocations bound at start, position-independent executables), so that
# lintian finds nothing to say of them. Its -g and -O2 are left to the build
# type. Not with the sanitizers, which bring their own checks, nor across to
# Windows, where there is no dpkg-buildflags.
option(QUENDRAL_HARDEN "Build with the hardening flags of dpkg-buildflags, where it is found" ON)
if(NOT QUENDRAL_HARDEN OR QUENDRAL_SANITIZE OR QUENDRAL_FUZZ OR CMAKE_CROSSCOMPILING
   OR NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT DPKG_BUILDFLAGS)
  return()
endif()

set(hardening_flags "")
foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all ${DPKG_BUILDFLAGS} --get ${kind}
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  list(FILTER flags EXCLUDE REGEX "^(-g|-O[0-9s]?|-ffile-prefix-map=.*)$")
  set(hardening_${kind} ${flags})
endforeach()

# Fortification needs the optimiser, which a Debug build leaves off.
if(CMAKE_BUILD_TYPE STREQUAL "Debug")
  list(FILTER hardening_CPPFLAGS EXCLUDE REGEX "_FORTIFY_SOURCE")
endif()
add_compile_options(${hardening_CPPFLAGS} ${hardening_CXXFLAGS})
add_link_options(${hardening_LDFLAGS})
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported()
message(STATUS "Hardening flags: ${hardening_CPPFLAGS} ${hardening_CXXFLAGS} ${hardening_LDFLAGS}")
