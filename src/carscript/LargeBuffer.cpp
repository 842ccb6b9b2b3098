#include "carscript/LargeBuffer.h"

#include <cstdint>

#ifndef _WIN32
#include <sys/mman.h>
#endif

namespace quendral {

void reserveLarge(std::string& buffer, std::size_t size)
{
    buffer.reserve(size);
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t HugePage = 2 * 1024 * 1024;
    if (size < 2 * HugePage)
        return;
    const auto begin = reinterpret_cast<std::uintptr_t>(buffer.data());
    const std::uintptr_t alignedBegin = (begin + HugePage - 1) & ~(HugePage - 1);
    const std::uintptr_t alignedEnd = (begin + size) & ~(HugePage - 1);
    if (alignedEnd > alignedBegin)
        madvise(reinterpret_cast<void*>(alignedBegin), alignedEnd - alignedBegin, MADV_HUGEPAGE);
#endif
}

} // namespace quendral
