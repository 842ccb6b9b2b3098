#pragma once

#include "settings/ScriptSettings.h"

#include <string_view>

namespace quendral {

// Reads a car's settings from the text of its car script: the engine
// families, the drive, both ride heights and the wheel-size range, and
// which of them the script gives. Wheel blocks and wheel-size runs are
// read as the game reads them; where a script gives a setting twice, the
// last one counts.
ScriptSettings readScriptSettings(std::string_view script);

} // namespace quendral
