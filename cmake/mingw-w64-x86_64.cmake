# Cross-compiles for 64-bit Windows with Debian's MinGW-w64
# (g++-mingw-w64-x86-64-posix): cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake.
# The posix flavour of the compiler, since the save lock waits with
# std::this_thread, which the win32 flavour lacks. Programs are linked
# statically, so that each is one file needing only Windows' own DLLs. Tests
# run under Wine when it is installed (wine64 or wine).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUENDRAL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUENDRAL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUENDRAL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QUENDRAL_MINGW_TRIPLE}-windres)

# Libraries and headers of the target only; programs of the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${QUENDRAL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
# This compiler's standard library, inlined at -O2 and above, makes GCC 12
# warn of overlapping copies where a text is joined to a std::string (GCC
# bug 105329): a false alarm, there and in every such join.
set(CMAKE_CXX_FLAGS_INIT -Wno-restrict)

# Debian has no Windows builds of GoogleTest, CLI11 and nlohmann-json, only
# sources and headers: the package files in mingw-packages/ make them for
# this compiler.
set(GTest_DIR ${CMAKE_CURRENT_LIST_DIR}/mingw-packages CACHE PATH "GoogleTest built from Debian's sources")
set(CLI11_DIR ${CMAKE_CURRENT_LIST_DIR}/mingw-packages CACHE PATH "CLI11 from Debian's headers")
set(nlohmann_json_DIR ${CMAKE_CURRENT_LIST_DIR}/mingw-packages CACHE PATH "nlohmann-json from Debian's headers")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-packages/HostHeaders.cmake)

find_program(QUENDRAL_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(QUENDRAL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUENDRAL_WINE})
endif()
