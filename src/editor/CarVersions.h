#pragma once

#include "catalogue/CarTable.h"
#include "history/LineDiff.h"
#include "history/ScriptHistory.h"
#include "settings/CarSettings.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quendral {

class FileSystem;
class MessagePresenter;

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
    // The same settings as values; none where the line says why not.
    std::optional<CarSettings> values;
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

// The versions of one car's script: the car script, its history and its
// backup. Each call tells the user why it failed.
class CarVersions
{
public:
    // What a save would write now, to compare as "after the save"; nothing
    // after telling the user why not.
    using SavePreview = std::function<std::optional<std::string>()>;

    CarVersions(CarEntry car, FileSystem& fileSystem, MessagePresenter& messages);

    // The car script, then its history newest first (the original last),
    // and the backup where no entry holds it. False when they cannot be
    // listed, or the car has neither a script it can read nor a history nor
    // a backup.
    bool list(std::vector<VersionListing>& versions);

    // The line diff between two versions. False when either is unknown or
    // cannot be read, or what a save would write cannot be made.
    bool compare(const VersionName& from, const VersionName& to, Comparison& comparison, const SavePreview& saved);
    // The same up to the diff: both versions named in `comparison` and
    // their bytes, for a caller that diffs them away from the window.
    bool readCompared(const VersionName& from, const VersionName& to, Comparison& comparison,
                      std::array<std::string, 2>& bytes, const SavePreview& saved);

    // Makes a version the car script, through a save, so the script it
    // replaces goes into the history and the backup; a car script that is
    // missing is written anew, with nothing to keep.
    bool restore(const VersionName& version);

private:
    bool find(const VersionName& name, VersionSide& side);
    bool read(const VersionName& name, VersionSide& side, std::string& bytes);

    CarEntry m_car;
    FileSystem& m_fileSystem;
    MessagePresenter& m_messages;
    std::string_view m_caption = "History";
};

} // namespace quendral
