#pragma once

#include <string_view>

namespace quendral {

class EditingControls;

// Reads a car's settings from the text of its car script into the editing
// controls: the engine families, the drive choice, both ride heights and
// the wheel-size range. Only the engine check boxes are cleared first; a
// setting the script does not give keeps the value the control had.
// Storing the largest wheel size runs that box's own check.
void loadCarSettings(std::string_view script, EditingControls& controls);

} // namespace quendral
