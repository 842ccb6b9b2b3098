#pragma once

#include <cstddef>
#include <string>

namespace quendral {

// Reserves room for `size` bytes in a buffer whose pages have not been
// touched yet, backed by huge pages where the system has them. A script of
// 50 MB is otherwise held in 12,800 fresh pages of 4 KB, and the page faults
// of those cost more than reading the file (a tenth of a second on a virtual
// machine), besides making every later copy out of them slower.
void reserveLarge(std::string& buffer, std::size_t size);

} // namespace quendral
