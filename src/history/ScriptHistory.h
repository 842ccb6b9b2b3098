#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quendral {

class FileSystem;
class ReplacementFile;

using HistoryTime = std::chrono::sys_time<std::chrono::milliseconds>;

// An earlier version of a car script, kept in the car's history folder as
// `_main_.YYYYMMDDTHHMMSS.mmmZ.cfg`: the moment in UTC it was put aside (or,
// for a backup an older editor left, its file time), so that names sort by
// time on every system; `-2`, `-3` follow the time of a second and third
// version put aside in the same millisecond. The original, the oldest
// version the history knows, has `.original` before `.cfg` and is never
// pruned.
struct HistoryEntry
{
    std::filesystem::path path;
    HistoryTime time;
    int sequence = 1;
    bool original = false;
};

// How many versions a history keeps besides the original.
inline constexpr std::size_t KeptVersions = 50;

// "2026-12-07T15:04:05.123Z"
std::string utcTimeText(HistoryTime time);
std::string historyEntryName(HistoryTime time, int sequence, bool original);
// The entry a file name stands for (its path the bare name), if any.
std::optional<HistoryEntry> historyEntryOf(std::string_view name);

// The entries of a car's history, newest first, the original last. A
// missing history folder is an empty history. Returns false with the reason
// when the folder cannot be read.
bool readHistory(const std::filesystem::path& carFolder, std::vector<HistoryEntry>& entries, std::string& error);

// Keeps the car script a save replaces in the car's history, before the save
// replaces the backup and the script, all through the file system's safe
// path (and so with the script's owner, group and mode), under the save
// lock. A save calls, in order:
//   start()          once the script is read;
//   keep()           with the script it replaces, unless it changes nothing;
//   replaceBackup()  which links the backup to that entry, or copies;
// then commits the new script and calls prune(). Until the backup has been
// replaced, a keeper destroyed (or told to withdraw()) takes the history
// back to what it was: a save that fails by then changes nothing. Once the
// backup is replaced what was kept stays, since it may be the only copy of
// the backup an older editor left.
class VersionKeeper
{
public:
    VersionKeeper(FileSystem& fileSystem, const std::filesystem::path& carFolder);
    ~VersionKeeper();

    VersionKeeper(const VersionKeeper&) = delete;
    VersionKeeper& operator=(const VersionKeeper&) = delete;

    // Removes what killed saves left in the history folder.
    void removeLeftovers();

    // Reads the history. When it is empty, a backup that differs from
    // `script` (left by an older editor, which kept only the one) becomes
    // its original, with its file time, since replacing the backup would
    // lose it; the script becomes the original otherwise.
    bool start(std::string_view script, std::string& error);

    // Puts `script` into the history as its newest entry, flushed and
    // committed.
    bool keep(std::string_view script, std::string& error);

    // The same in two steps, for callers that flush and commit many files
    // together: the entry written but neither flushed nor committed; once
    // the caller has committed it, kept(path) makes it part of this save.
    std::unique_ptr<ReplacementFile> prepareEntry(std::string_view script, std::filesystem::path& path,
                                                  std::string& error);
    void kept(const std::filesystem::path& path);

    // Makes the backup hold `script`: a link to the entry kept for it,
    // where there is one and the file system makes links; else a copy.
    bool replaceBackup(std::string_view script, std::string& error);

    // Removes the entries this save added, and the history folder when this
    // save made it. Nothing once the backup is replaced.
    void withdraw();

    // Removes the oldest entries beyond the newest KeptVersions, the
    // original aside. What cannot be removed goes at a later save.
    void prune();

private:
    std::unique_ptr<ReplacementFile> createEntry(std::string_view bytes, HistoryTime time, bool original,
                                                 std::filesystem::path& path, std::string& error);
    bool commitEntry(std::string_view bytes, HistoryTime time, bool original, std::string& error);

    FileSystem& m_fileSystem;
    std::filesystem::path m_carFolder;
    std::filesystem::path m_folder;
    bool m_empty = false;
    bool m_madeFolder = false;
    bool m_backupReplaced = false;
    std::vector<std::filesystem::path> m_added;
    std::filesystem::path m_scriptEntry;
};

} // namespace quendral
