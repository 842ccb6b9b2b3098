#pragma once

#include "settings/CarSettings.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace quendral {

// The names the editor gives settings wherever it shows or reads them: in
// the tool's options and tables, the history and the window.

// "I4", "V6", "V8", "V10".
std::string_view familyName(EngineFamily family);

// "front", "rear", "all" or "none".
std::string_view driveName(Drive drive);
std::optional<Drive> parseDrive(std::string_view name);

// The families taken, by name, between separators; `whenNone` when none is.
std::string enginesText(const std::array<bool, 4>& engines, std::string_view separator, std::string_view whenNone);

// A comma-separated list of family names ("V6,V10"), or "none".
std::optional<std::array<bool, 4>> parseEngines(std::string_view list);

// The settings on one line:
// "engines: I4 V6 · drive: rear · front: 12 · rear: 3 · min: 16 · max: 21".
std::string settingsLine(const CarSettings& settings);

} // namespace quendral
