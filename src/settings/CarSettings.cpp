#include "settings/CarSettings.h"

#include "settings/TextNumber.h"

#include <algorithm>

namespace quendral {

std::optional<std::pair<int, int>> CarSettings::wheelRange() const
{
    const auto low = toWholeNumber(smallest);
    const auto high = toWholeNumber(largest);
    if (!low || !high)
        return std::nullopt;
    const int lowest = std::max<int>(*low, SmallestWheelSize);
    if (*high < lowest)
        return std::nullopt;
    return std::pair{lowest, static_cast<int>(*high)};
}

bool aboveLargestWheelSize(const std::string& text)
{
    const TextNumber size = TextNumber::parse(text);
    return size.kind == TextNumber::Kind::AboveRange
        || (size.kind == TextNumber::Kind::Number && size.value > LargestWheelSize);
}

} // namespace quendral
