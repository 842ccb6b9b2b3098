#pragma once

#include <string>
#include <string_view>

namespace quendral {

// A name or a text in double quotes, as every message shows one. Appended:
// GCC 12 at -O3 warns falsely of an overlap in "\"" + std::string.
inline std::string inQuotes(std::string_view text)
{
    std::string result(1, '"');
    return result.append(text).append(1, '"');
}

} // namespace quendral
