#pragma once

#include <array>

namespace quendral {

// The settings a save writes into a car script, as read from the controls
// when the save runs.
struct SaveSettings
{
    std::array<bool, 4> engines{};  // I4, V6, V8, V10
    bool frontDriven = false;
    bool rearDriven = false;
    bool driveChosen = false;       // false: wheel lines are kept as they are
    int frontPosition = 0;
    int rearPosition = 0;
    int smallestWheel = 14;
    int largestWheel = 21;
};

} // namespace quendral
