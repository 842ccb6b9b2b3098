#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quendral {

class EditingControls;

// What the script itself gave, before the controls had their say: the
// sliders clamp a position to their range, and the largest wheel-size box
// turns a size above 21 into 21. Empty where the script gives nothing.
struct LoadNotes
{
    std::optional<int> frontPosition;  // of the last front-left wheel line
    std::optional<int> rearPosition;   // of the last rear-left wheel line
    std::optional<std::string> smallestWheel;
    std::optional<std::string> largestWheel;
};

// Reads a car's settings from the text of its car script into the editing
// controls: the engine families, the drive choice, both ride heights and
// the wheel-size range. Only the engine check boxes are cleared first; a
// setting the script does not give keeps the value the control had.
// Storing the largest wheel size runs that box's own check. `notes`, when
// given, learns what the script gave.
void loadCarSettings(std::string_view script, EditingControls& controls, LoadNotes* notes = nullptr);

} // namespace quendral
