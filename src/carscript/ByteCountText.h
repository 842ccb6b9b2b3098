#pragma once

#include <cstdint>
#include <string>

namespace quendral {

// "2,345 bytes", "1 byte": a size as messages and listings give it.
std::string byteCountText(std::uintmax_t bytes);

} // namespace quendral
