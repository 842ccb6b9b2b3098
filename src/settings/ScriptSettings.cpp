#include "settings/ScriptSettings.h"

#include <algorithm>

namespace quendral {

CarSettings ScriptSettings::over(const CarSettings& shown) const
{
    CarSettings result = shown;
    result.engines = settings.engines;
    if (driveNamed)
        result.drive = settings.drive;
    if (has(given, Setting::Front))
        result.front = std::clamp(settings.front, RideHeightMinimum, RideHeightMaximum);
    if (has(given, Setting::Rear))
        result.rear = std::clamp(settings.rear, RideHeightMinimum, RideHeightMaximum);
    if (has(given, Setting::Smallest))
        result.smallest = settings.smallest;
    if (has(given, Setting::Largest))
        result.largest = aboveLargestWheelSize(settings.largest) ? std::to_string(LargestWheelSize) : settings.largest;
    return result;
}

} // namespace quendral
