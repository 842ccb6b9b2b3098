#pragma once

#include <cstdio>
#include <cstdlib>

namespace quendral::fuzz {

// Stops the run as a finding when a property does not hold; libFuzzer
// keeps the input that did it.
inline void check(bool holds, const char* property)
{
    if (!holds) {
        std::fprintf(stderr, "property violated: %s\n", property);
        std::abort();
    }
}

} // namespace quendral::fuzz
