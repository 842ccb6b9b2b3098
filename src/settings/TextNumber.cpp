#include "settings/TextNumber.h"

#include "settings/TextScan.h"

#include <algorithm>
#include <limits>

namespace quendral {

TextNumber TextNumber::parse(std::string_view text)
{
    text = trimBlanks(text);
    const std::size_t end = text.size();
    std::size_t i = 0;
    bool negative = false;
    if (i < end && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    // The whole part, saturated just past the 16-bit range so that any
    // length of digits is read in one pass without overflow.
    constexpr std::int32_t Saturation = 100000;
    const std::size_t digitsStart = i;
    std::int32_t whole = 0;
    while (i < end && isDigit(text[i])) {
        whole = std::min(Saturation, whole * 10 + (text[i] - '0'));
        ++i;
    }
    if (i == digitsStart)
        return {};

    // Rounding looks at the fraction's first digit and whether any other
    // digit is non-zero.
    int firstFractionDigit = 0;
    bool restNonZero = false;
    if (i < end && text[i] == '.') {
        ++i;
        const std::size_t fractionStart = i;
        while (i < end && isDigit(text[i])) {
            if (i == fractionStart)
                firstFractionDigit = text[i] - '0';
            else if (text[i] != '0')
                restNonZero = true;
            ++i;
        }
    }
    if (i != end)
        return {};

    const bool roundUp = firstFractionDigit > 5
        || (firstFractionDigit == 5 && (restNonZero || whole % 2 == 1));
    if (roundUp && whole < Saturation)
        ++whole;

    const std::int32_t value = negative ? -whole : whole;
    TextNumber number;
    if (value > std::numeric_limits<std::int16_t>::max()) {
        number.kind = Kind::AboveRange;
    } else if (value < std::numeric_limits<std::int16_t>::min()) {
        number.kind = Kind::BelowRange;
    } else {
        number.kind = Kind::Number;
        number.value = static_cast<std::int16_t>(value);
    }
    return number;
}

std::optional<std::int16_t> toWholeNumber(std::string_view text)
{
    const TextNumber number = TextNumber::parse(text);
    if (number.kind != TextNumber::Kind::Number)
        return std::nullopt;
    return number.value;
}

} // namespace quendral
