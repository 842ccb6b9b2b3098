#include "carscript/ByteCountText.h"

namespace quendral {

// Built by appending: GCC 12 for Windows gives a false -Wrestrict warning
// for inserting the commas.
std::string byteCountText(std::uintmax_t bytes)
{
    const std::string digits = std::to_string(bytes);
    std::string grouped;
    for (std::size_t at = 0; at < digits.size(); ++at) {
        if (at > 0 && (digits.size() - at) % 3 == 0)
            grouped += ',';
        grouped += digits[at];
    }
    return grouped.append(bytes == 1 ? " byte" : " bytes");
}

} // namespace quendral
