#pragma once

#include <cstddef>

namespace quendral::fuzz {

// Every call of FieldReader::next made since the last reset, the failing
// ones at the end of the data included. Reading is the one step the load
// and the save repeat; each read costs the bytes it consumes, so a bound
// on the reads linear in the input bounds the whole work.
//
// The count comes from the linker: the fuzz targets are linked with
// --wrap on FieldReader::next, so the core needs no hook of its own.
std::size_t fieldReads();
void resetFieldReads();

} // namespace quendral::fuzz
