# Debian's header-only libraries are the same for every target, so the
# Windows build takes them as they are. Each is given through a folder of
# its own, since the build machine's /usr/include as a whole would put its C
# library's headers before the cross compiler's.
#
# quendral_host_headers(NAME VARIABLE): VARIABLE is a folder holding
# /usr/include/NAME, or empty when that is missing.
function(quendral_host_headers name variable)
  set(staged ${CMAKE_BINARY_DIR}/host-headers/${name})
  if(NOT EXISTS /usr/include/${name})
    set(${variable} "" PARENT_SCOPE)
    return()
  endif()
  if(NOT EXISTS ${staged}/${name})
    file(MAKE_DIRECTORY ${staged})
    file(CREATE_LINK /usr/include/${name} ${staged}/${name} SYMBOLIC)
  endif()
  set(${variable} ${staged} PARENT_SCOPE)
endfunction()
