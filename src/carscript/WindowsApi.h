#pragma once

// windows.h as this program includes it: without its min and max macros,
// which would break std::min and std::max, and without the parts no file
// here uses.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
