#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quendral {

// The reading of a wheel-size text as a whole number.
struct TextNumber
{
    enum class Kind {
        NotANumber,
        Number,      // value holds it
        AboveRange,  // a number above 32767 after rounding
        BelowRange,  // a number below -32768 after rounding
    };

    Kind kind = Kind::NotANumber;
    std::int16_t value = 0;

    // Reads blanks around an optional sign, digits and an optional fraction
    // ("21", " -3 ", "20.5"), rounded to the nearest whole number with a
    // half going to the even neighbour. Anything else, the empty text
    // included, is not a number.
    static TextNumber parse(std::string_view text);
};

// The text as a 16-bit whole number, or nothing when it is not a number
// or lies outside the 16-bit range.
std::optional<std::int16_t> toWholeNumber(std::string_view text);

} // namespace quendral
