#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quendral {

class FileReader;

// Whether a file read to its end holds exactly `bytes`, and whether two
// files hold the same bytes. They are read a piece at a time, so that
// comparing a large script costs no copy of it in memory, and no further
// than the first difference. Each returns false with the reason when a file
// cannot be read.
bool holdsBytes(FileReader& file, std::string_view bytes, bool& same, std::string& error,
                std::size_t pieceSize = 256 * 1024);
bool holdSameBytes(FileReader& first, FileReader& second, bool& same, std::string& error,
                   std::size_t pieceSize = 256 * 1024);

} // namespace quendral
