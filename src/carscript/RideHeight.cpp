#include "carscript/RideHeight.h"

#include "settings/TextScan.h"

#include <charconv>
#include <cmath>

namespace quendral {

std::string rideHeightDigits(Axle axle, int position)
{
    return std::to_string(axle == Axle::Front ? 20 * position + 300 : 2 * position + 30);
}

bool parseDecimal(std::string_view text, double& value)
{
    text = trimBlanks(text);

    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }

    // Digits with at most one point and at least one digit; from_chars alone
    // would also take exponents, "inf" and "nan".
    bool seenPoint = false;
    bool seenDigit = false;
    for (const char c : text) {
        if (isDigit(c))
            seenDigit = true;
        else if (c == '.' && !seenPoint)
            seenPoint = true;
        else
            return false;
    }
    if (!seenDigit)
        return false;

    double magnitude = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), magnitude,
                                        std::chars_format::fixed);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size())
        return false;
    value = negative ? -magnitude : magnitude;
    return true;
}

int rideHeightPosition(std::string_view wheelLine)
{
    const std::string_view first20 = wheelLine.substr(0, std::min<std::size_t>(20, wheelLine.size()));
    const std::string_view heightText =
        first20.size() <= 6 ? first20 : first20.substr(first20.size() - 6);

    double h = 0;
    parseDecimal(heightText, h);
    if (h < 0)
        h = 0 - h;
    h = h * 1000;
    h = h - 300;
    h = h / 20;
    // Halves go to the even neighbour: nearbyint rounds in the default
    // to-nearest-even mode.
    return static_cast<int>(std::nearbyint(h));
}

} // namespace quendral
