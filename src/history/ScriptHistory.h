#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
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
bool readHistory(FileSystem& fileSystem, const std::filesystem::path& carFolder, std::vector<HistoryEntry>& entries,
                 std::string& error);

// The moment a new entry is named by: the system's clock.
HistoryTime historyClock();

// Keeps the car script a save replaces in the car's history, before the save
// replaces the backup and the script, all through the file system's safe
// path, under the save lock. A save calls, in order:
//   removeLeftovers() which checks the history folder first;
//   start()           once the script is read;
//   prepareEntry()    with the script it replaces, unless it changes nothing,
//                     then kept() once the caller has committed it;
//   prepareBackup()   a copy of the script for the backup, never a second
//                     name of an entry: a program that writes the backup in
//                     place must not change a kept version;
// then commits the backup and settle(), the new script, and prune(). Until
// it settles, a keeper destroyed (or told to withdraw()) takes the history
// back to what it was: a save that fails by then changes nothing. Once the
// backup is replaced what was kept stays, since it may be the only copy of
// the backup an older editor left.
//
// A new entry's name sorts after every name in the history, even where the
// clock is behind the newest (it then takes that time plus a millisecond),
// so that the names keep the order the saves made them in.
class VersionKeeper
{
public:
    VersionKeeper(FileSystem& fileSystem, const std::filesystem::path& carFolder);
    ~VersionKeeper();

    VersionKeeper(const VersionKeeper&) = delete;
    VersionKeeper& operator=(const VersionKeeper&) = delete;

    // Removes what killed saves left in the history folder, once it is
    // known to be a folder and not a link. Returns false with the reason
    // otherwise, having removed nothing.
    bool removeLeftovers(std::string& error);

    // Reads the history. A backup that differs from `script` (nothing: the
    // script is missing) and that no entry holds, as an older editor leaves
    // after its own save, is kept as an entry of its own with its file time,
    // and its owner, group and mode; as the original when the history is
    // empty. Otherwise the first entry kept becomes the original.
    bool start(std::optional<std::string_view> script, std::string& error);

    // The entry for the script being replaced, written but neither flushed
    // nor committed; once the caller has committed it, kept(path) makes it
    // part of this save.
    std::unique_ptr<ReplacementFile> prepareEntry(std::string_view script, std::filesystem::path& path,
                                                  std::string& error);
    void kept(const std::filesystem::path& path);

    // The new backup holding `script`, written but neither flushed nor
    // committed.
    std::unique_ptr<ReplacementFile> prepareBackup(std::string_view script, std::string& error);

    // The backup (or the script) has been replaced: what was kept stays.
    void settle();

    // Removes the entries this save added, and the history folder when this
    // save made it. Nothing once it has settled.
    void withdraw();

    // Removes the oldest entries beyond the newest KeptVersions, the
    // original and this save's own aside. What cannot be removed goes at a
    // later save.
    void prune();

private:
    std::unique_ptr<ReplacementFile> createEntry(std::string_view bytes, HistoryTime time, bool original,
                                                 const std::filesystem::path& model, std::filesystem::path& path,
                                                 std::string& error);
    // Whether an entry holds the bytes of `file`, `size` bytes long.
    bool holds(const std::vector<HistoryEntry>& entries, const std::filesystem::path& file, std::uintmax_t size);

    FileSystem& m_fileSystem;
    std::filesystem::path m_carFolder;
    std::filesystem::path m_folder;
    std::optional<HistoryTime> m_newest;
    bool m_empty = false;
    bool m_madeFolder = false;
    bool m_settled = false;
    std::vector<std::filesystem::path> m_added;
};

} // namespace quendral
