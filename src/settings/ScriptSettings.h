#pragma once

#include "settings/CarSettings.h"

namespace quendral {

// What a car script gives, as the load reads it, and which of the settings
// it gives at all.
struct ScriptSettings
{
    // As read: the ride heights not yet held to 0 to 30, the wheel-size
    // texts as the script has them; none and empty where it gives nothing.
    CarSettings settings;
    // Which it gives: the engine families always (a script without engine
    // lines takes none), the drive with either wheel block, each ride
    // height with its wheel block, each wheel size with its line.
    SettingFlags given{};
    // Whether a driven wheel line names the drive. A script that drives no
    // wheel leaves the drive shown as it was.
    bool driveNamed = false;
    // How many largest wheel sizes the script gives above 21; the editor
    // tells each and shows 21.
    int largestAboveLimit = 0;

    // What the editing controls show once the script is loaded over
    // controls that showed `shown`: what it does not give stays as shown,
    // the ride heights are held to their range and a largest wheel size
    // above 21 is shown as 21.
    CarSettings over(const CarSettings& shown) const;
};

} // namespace quendral
