#pragma once

#include "history/LineDiff.h"
#include "history/ScriptHistory.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quendral {

// A version of a car script, as the user names it.
struct VersionName
{
    enum class Kind {
        Current,   // the car script
        Backup,    // the backup, the version before the last save
        Original,  // the oldest entry of the history, kept for good
        Numbered,  // an entry of the history, 1 the newest
        Saved,     // what a save would write now
    };
    Kind kind = Kind::Current;
    int number = 0;
    // A number too large to count, as it was typed, so that messages name it.
    std::string spelled{};
    bool operator==(const VersionName&) const = default;
};

// "current", "backup", "original" or the number of a history entry.
std::optional<VersionName> parseVersionName(std::string_view text);
// The name as the user gives it; "after the save" for Saved.
std::string versionText(const VersionName& name);

// A line of a car's history.
struct VersionListing
{
    // Current, Numbered, or Backup for a backup that no entry holds.
    VersionName name;
    // "backup", "original", both, or nothing.
    std::string marks;
    // "empty" or "no wheels" for a version that holds no settings to
    // restore; nothing otherwise.
    std::string lacks;
    HistoryTime time{};
    std::uintmax_t size = 0;
    // "engines: I4 V6 · drive: rear · front: 12 · rear: 3 · min: 15 · max: 18",
    // or why the version cannot be read.
    std::string settings;
};

// One side of a comparison: its file, and the version's name with its marks.
struct VersionSide
{
    std::filesystem::path path;
    std::string label;
};

struct Comparison
{
    VersionSide from;
    VersionSide to;
    LineDiff diff;
};

// "The versions … and … cannot be compared: there is not enough memory to compare them."
std::string notEnoughMemoryToCompare(const Comparison& comparison);

// "2026-12-07 15:04:05", in the machine's time zone.
std::string localTimeText(HistoryTime time);

} // namespace quendral
