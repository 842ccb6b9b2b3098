#include "settings/SettingNames.h"

#include <algorithm>

namespace quendral {

namespace {

constexpr std::array<std::string_view, 4> FamilyNames = {"I4", "V6", "V8", "V10"};
constexpr std::array<std::string_view, 4> DriveNames = {"none", "front", "rear", "all"};

} // namespace

std::string_view familyName(EngineFamily family)
{
    return FamilyNames[static_cast<std::size_t>(familyIndex(family))];
}

std::string_view driveName(Drive drive)
{
    return DriveNames[static_cast<std::size_t>(drive)];
}

std::optional<Drive> parseDrive(std::string_view name)
{
    const auto found = std::find(DriveNames.begin(), DriveNames.end(), name);
    if (found == DriveNames.end())
        return std::nullopt;
    return static_cast<Drive>(found - DriveNames.begin());
}

std::string enginesText(const std::array<bool, 4>& engines, std::string_view separator, std::string_view whenNone)
{
    std::string text;
    for (const EngineFamily family : EngineFamilies) {
        if (!engines[static_cast<std::size_t>(familyIndex(family))])
            continue;
        if (!text.empty())
            text += separator;
        text += familyName(family);
    }
    return text.empty() ? std::string(whenNone) : text;
}

std::optional<std::array<bool, 4>> parseEngines(std::string_view list)
{
    std::array<bool, 4> engines{};
    if (list == "none")
        return engines;
    while (true) {
        const std::size_t comma = list.find(',');
        const auto family = std::find(FamilyNames.begin(), FamilyNames.end(), list.substr(0, comma));
        if (family == FamilyNames.end())
            return std::nullopt;
        engines[static_cast<std::size_t>(family - FamilyNames.begin())] = true;
        if (comma == std::string_view::npos)
            return engines;
        list.remove_prefix(comma + 1);
    }
}

std::string settingsLine(const CarSettings& settings)
{
    return "engines: " + enginesText(settings.engines, " ", "none") + " · drive: " + std::string(driveName(settings.drive))
        + " · front: " + std::to_string(settings.front) + " · rear: " + std::to_string(settings.rear)
        + " · min: " + settings.smallest + " · max: " + settings.largest;
}

} // namespace quendral
