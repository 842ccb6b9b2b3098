#include "history/ScriptHistory.h"

#include "carscript/CarFiles.h"
#include "carscript/FileComparison.h"
#include "carscript/FileSystem.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <system_error>
#include <utility>

namespace quendral {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view Prefix = "_main_.";
constexpr std::string_view Suffix = ".cfg";
constexpr std::string_view OriginalMark = ".original";

bool occupied(FileSystem& fileSystem, const fs::path& path)
{
    FileStatus status;
    std::string ignored;
    return fileSystem.status(path, status, ignored, Links::NotFollowed) && status.type != FileType::Missing;
}

// The number at a place in a name, or -1 where there is none or it is too
// large for an int (a sequence of a user's own file may be any length).
int digitsAt(std::string_view text, std::size_t at, std::size_t count)
{
    if (at + count > text.size())
        return -1;
    const char* const end = text.data() + at + count;
    int value = -1;
    const auto [stop, problem] = std::from_chars(text.data() + at, end, value);
    return problem == std::errc() && stop == end ? value : -1;
}

// Whether a file holds `bytes`, and whether two files hold the same bytes;
// not when a file cannot be read.
bool fileHolds(FileSystem& fileSystem, const fs::path& path, std::string_view bytes)
{
    std::string ignored;
    bool same = false;
    const std::unique_ptr<FileReader> file = fileSystem.openToRead(path, ignored);
    return file && holdsBytes(*file, bytes, same, ignored) && same;
}

bool sameFiles(FileSystem& fileSystem, const fs::path& first, const fs::path& second)
{
    std::string ignored;
    bool same = false;
    const std::unique_ptr<FileReader> one = fileSystem.openToRead(first, ignored);
    const std::unique_ptr<FileReader> other = one ? fileSystem.openToRead(second, ignored) : nullptr;
    return other && holdSameBytes(*one, *other, same, ignored) && same;
}

// Why a history folder that is there cannot be used, if it cannot.
std::optional<std::string> folderProblem(const fs::path& folder, const FileStatus& status)
{
    if (status.type == FileType::Folder)
        return std::nullopt;
    if (status.type == FileType::Link)
        return "its history folder " + folder.string() + " is a symbolic link, which is not followed";
    return "its history folder " + folder.string() + " is not a folder";
}

} // namespace

std::string utcTimeText(HistoryTime time)
{
    using namespace std::chrono;
    const auto day = floor<days>(time);
    const year_month_day date{day};
    const hh_mm_ss clock{time - day};
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()), static_cast<int>(clock.subseconds().count()));
    return text;
}

std::string historyEntryName(HistoryTime time, int sequence, bool original)
{
    // The time without the separators Windows forbids in a name.
    std::string stamp = utcTimeText(time);
    std::erase_if(stamp, [](char c) { return c == '-' || c == ':'; });
    std::string name(Prefix);
    name += stamp;
    if (sequence > 1)
        name.append("-").append(std::to_string(sequence));
    if (original)
        name += OriginalMark;
    return name += Suffix;
}

std::optional<HistoryEntry> historyEntryOf(std::string_view name)
{
    using namespace std::chrono;
    if (!name.starts_with(Prefix) || !name.ends_with(Suffix))
        return std::nullopt;
    std::string_view rest = name.substr(Prefix.size(), name.size() - Prefix.size() - Suffix.size());
    HistoryEntry entry;
    entry.original = rest.ends_with(OriginalMark);
    if (entry.original)
        rest.remove_suffix(OriginalMark.size());
    // YYYYMMDDTHHMMSS.mmmZ
    const int numbers[] = {digitsAt(rest, 0, 4),  digitsAt(rest, 4, 2),  digitsAt(rest, 6, 2), digitsAt(rest, 9, 2),
                           digitsAt(rest, 11, 2), digitsAt(rest, 13, 2), digitsAt(rest, 16, 3)};
    // Fields out of range or not digits (-1) give a time whose name is
    // another: the name's round trip below refuses them.
    const year_month_day date{year(numbers[0]), month(static_cast<unsigned>(numbers[1])),
                              day(static_cast<unsigned>(numbers[2]))};
    if (!date.ok())
        return std::nullopt;
    entry.time = sys_days(date) + hours(numbers[3]) + minutes(numbers[4]) + seconds(numbers[5])
        + milliseconds(numbers[6]);
    if (rest.size() > 20 && rest[20] == '-')
        entry.sequence = digitsAt(rest, 21, rest.size() - 21);
    // Anything else, leading zeros and "-1" included, is no name of ours.
    if (entry.sequence < 1 || historyEntryName(entry.time, entry.sequence, entry.original) != name)
        return std::nullopt;
    entry.path = name;
    return entry;
}

bool readHistory(FileSystem& fileSystem, const fs::path& carFolder, std::vector<HistoryEntry>& entries,
                 std::string& error)
{
    entries.clear();
    const fs::path folder = historyFolderPath(carFolder);
    FileStatus status;
    std::string why;
    if (!fileSystem.status(folder, status, why, Links::NotFollowed) || status.type == FileType::Missing)
        return true;
    if (const auto problem = folderProblem(folder, status)) {
        error = *problem;
        return false;
    }
    std::vector<FolderEntry> names;
    const bool listed = fileSystem.list(folder, names, why);
    for (const FolderEntry& name : names) {
        std::optional<HistoryEntry> entry = historyEntryOf(name.name);
        if (entry && name.type == FileType::Regular) {
            entry->path = folder / name.name;
            entries.push_back(std::move(*entry));
        }
    }
    if (!listed) {
        error = "its history folder " + folder.string() + " cannot be read (" + why + ")";
        return false;
    }
    std::sort(entries.begin(), entries.end(), [](const HistoryEntry& a, const HistoryEntry& b) {
        if (a.original != b.original)
            return b.original;
        return a.time != b.time ? a.time > b.time : a.sequence > b.sequence;
    });
    return true;
}

VersionKeeper::VersionKeeper(FileSystem& fileSystem, const fs::path& carFolder)
    : m_fileSystem(fileSystem), m_carFolder(carFolder), m_folder(historyFolderPath(carFolder))
{
}

VersionKeeper::~VersionKeeper()
{
    withdraw();
}

// Only once the folder is known to be a folder: through a link, files
// outside the car would go.
bool VersionKeeper::removeLeftovers(std::string& error)
{
    FileStatus status;
    std::string why;
    if (!m_fileSystem.status(m_folder, status, why, Links::NotFollowed) || status.type == FileType::Missing)
        return true;
    if (const auto problem = folderProblem(m_folder, status)) {
        error = *problem;
        return false;
    }
    std::vector<FolderEntry> entries;
    m_fileSystem.list(m_folder, entries, why);
    for (const FolderEntry& entry : entries) {
        // ".NAME.new-…" beside the entry NAME it was to become.
        const std::string& name = entry.name;
        const std::size_t mark = name.rfind(".new-");
        if (name.starts_with('.') && mark != std::string::npos && historyEntryOf(name.substr(1, mark - 1)))
            m_fileSystem.removeLeftovers(m_folder / name.substr(1, mark - 1));
    }
    return true;
}

bool VersionKeeper::start(std::optional<std::string_view> script, std::string& error)
{
    std::vector<HistoryEntry> entries;
    if (!readHistory(m_fileSystem, m_carFolder, entries, error))
        return false;
    m_empty = entries.empty();
    for (const HistoryEntry& entry : entries)
        m_newest = std::max(m_newest.value_or(entry.time), entry.time);
    // A backup that is a link was never written by a save: it is replaced
    // and kept nowhere.
    const fs::path backup = backupScriptPath(m_carFolder);
    FileStatus status;
    std::string why;
    if (!m_fileSystem.status(backup, status, why, Links::NotFollowed) || status.type != FileType::Regular)
        return true;

    // Usually the backup is the script (the last save changed nothing) or
    // the newest entry (it made one): compared where they lie, a large
    // script is not read into memory twice more.
    if ((script && status.size == script->size() && fileHolds(m_fileSystem, backup, *script))
        || holds(entries, backup, status.size))
        return true;
    std::string earlier;
    if (!m_fileSystem.readFile(backup, earlier, error, LargestCarScript)) {
        error = "its backup " + backup.string() + " cannot be read to keep it in its history (" + error + ")";
        return false;
    }
    const bool dated = m_fileSystem.status(backup, status, why, Links::Followed) && status.type != FileType::Missing;
    const HistoryTime time = !dated ? historyClock()
                                    : std::chrono::floor<std::chrono::milliseconds>(
                                          std::chrono::file_clock::to_sys(status.modified));
    fs::path path;
    std::unique_ptr<ReplacementFile> file = createEntry(earlier, time, m_empty, backup, path, error);
    if (!file)
        return false;
    if (!file->flush() || !file->commit()) {
        error = "its history entry " + path.string() + " cannot be written (" + file->errorString() + ")";
        return false;
    }
    kept(path);
    return true;
}

// Only entries of the same size are read: usually the newest alone.
bool VersionKeeper::holds(const std::vector<HistoryEntry>& entries, const fs::path& file, std::uintmax_t size)
{
    for (const HistoryEntry& entry : entries) {
        FileStatus status;
        std::string ignored;
        if (m_fileSystem.status(entry.path, status, ignored, Links::Followed) && status.type == FileType::Regular
            && status.size == size && sameFiles(m_fileSystem, entry.path, file))
            return true;
    }
    return false;
}

std::unique_ptr<ReplacementFile> VersionKeeper::createEntry(std::string_view bytes, HistoryTime time, bool original,
                                                            const fs::path& model, fs::path& path, std::string& error)
{
    const bool existed = occupied(m_fileSystem, m_folder);
    std::string why;
    if (!m_fileSystem.createFolder(m_folder, m_folder.parent_path(), why)) {
        error = "its history folder " + m_folder.string() + " cannot be made (" + why + ")";
        return nullptr;
    }
    m_madeFolder = m_madeFolder || !existed;

    if (m_newest && time <= *m_newest)
        time = *m_newest + std::chrono::milliseconds(1);
    int sequence = 1;
    while (occupied(m_fileSystem, m_folder / historyEntryName(time, sequence, false))
           || occupied(m_fileSystem, m_folder / historyEntryName(time, sequence, true)))
        ++sequence;
    path = m_folder / historyEntryName(time, sequence, original);
    std::unique_ptr<ReplacementFile> file = m_fileSystem.createReplacement(path, model, why);
    if (file && !file->write(bytes)) {
        why = file->errorString();
        file.reset();
    }
    if (!file)
        error = "its history entry " + path.string() + " cannot be written (" + why + ")";
    else
        m_newest = time;
    return file;
}

std::unique_ptr<ReplacementFile> VersionKeeper::prepareEntry(std::string_view script, fs::path& path,
                                                             std::string& error)
{
    return createEntry(script, historyClock(), m_empty, carScriptPath(m_carFolder), path, error);
}

void VersionKeeper::kept(const fs::path& path)
{
    m_added.push_back(path);
    m_empty = false;
}

std::unique_ptr<ReplacementFile> VersionKeeper::prepareBackup(std::string_view script, std::string& error)
{
    const fs::path backup = backupScriptPath(m_carFolder);
    std::string why;
    std::unique_ptr<ReplacementFile> copy = m_fileSystem.createReplacement(backup, carScriptPath(m_carFolder), why);
    if (copy && !copy->write(script)) {
        why = copy->errorString();
        copy.reset();
    }
    if (!copy)
        error = "the backup " + backup.string() + " cannot be written (" + why + ")";
    return copy;
}

void VersionKeeper::settle()
{
    m_settled = true;
}

void VersionKeeper::withdraw()
{
    if (m_settled)
        return;
    std::string ignored;
    const std::vector<std::filesystem::path> added = std::exchange(m_added, {});
    for (auto path = added.rbegin(); path != added.rend(); ++path)
        m_fileSystem.remove(*path, ignored);
    if (std::exchange(m_madeFolder, false))
        m_fileSystem.remove(m_folder, ignored);
}

void VersionKeeper::prune()
{
    std::vector<HistoryEntry> entries;
    std::string ignored;
    if (!readHistory(m_fileSystem, m_carFolder, entries, ignored))
        return;
    std::size_t ordinary = 0;
    for (const HistoryEntry& entry : entries)
        if (!entry.original && ++ordinary > KeptVersions
            && std::find(m_added.begin(), m_added.end(), entry.path) == m_added.end())
            m_fileSystem.remove(entry.path, ignored);
}

} // namespace quendral
