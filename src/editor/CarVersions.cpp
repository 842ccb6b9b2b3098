#include "editor/CarVersions.h"

#include "carscript/CarFiles.h"
#include "carscript/FieldReader.h"
#include "carscript/FileSystem.h"
#include "carscript/ScriptVocabulary.h"
#include "carscript/SettingsReader.h"
#include "controls/MessagePresenter.h"
#include "editor/SaveExecutor.h"
#include "editor/SaveMessages.h"
#include "settings/InQuotes.h"
#include "settings/SettingNames.h"

#include <array>
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <limits>
#include <new>

namespace quendral {

namespace {

bool hasWheelBlock(std::string_view script)
{
    FieldReader reader(script);
    Field field;
    while (reader.next(field))
        if (wheelMarker(field.text))
            return true;
    return false;
}

} // namespace

std::optional<VersionName> parseVersionName(std::string_view text)
{
    using Kind = VersionName::Kind;
    for (const auto& [word, kind] : {std::pair{"current", Kind::Current}, std::pair{"backup", Kind::Backup},
                                     std::pair{"original", Kind::Original}})
        if (text == word)
            return VersionName{kind, 0};
    int number = 0;
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (end != text.data() + text.size() || text.front() == '0' || text.front() == '-')
        return std::nullopt;
    // A number too large to count is a version no history has, as any
    // number beyond the last is.
    if (problem == std::errc::result_out_of_range)
        return VersionName{Kind::Numbered, std::numeric_limits<int>::max(), std::string(text)};
    if (problem != std::errc() || number < 1)
        return std::nullopt;
    return VersionName{Kind::Numbered, number};
}

std::string versionText(const VersionName& name)
{
    switch (name.kind) {
    case VersionName::Kind::Current: return "current";
    case VersionName::Kind::Backup: return "backup";
    case VersionName::Kind::Original: return "original";
    case VersionName::Kind::Numbered: return name.spelled.empty() ? std::to_string(name.number) : name.spelled;
    case VersionName::Kind::Saved: break;
    }
    return "after the save";
}

std::string notEnoughMemoryToCompare(const Comparison& comparison)
{
    return "The versions " + comparison.from.label + " and " + comparison.to.label
         + " cannot be compared: there is not enough memory to compare them.";
}

std::string localTimeText(HistoryTime time)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}



CarVersions::CarVersions(CarEntry car, FileSystem& fileSystem, MessagePresenter& messages)
    : m_car(std::move(car)), m_fileSystem(fileSystem), m_messages(messages)
{
}

bool CarVersions::find(const VersionName& name, VersionSide& side)
{
    using Kind = VersionName::Kind;
    side.label = versionText(name);
    if (name.kind == Kind::Current || name.kind == Kind::Saved) {
        side.path = carScriptPath(m_car.folder);
        return true;
    }
    std::vector<HistoryEntry> entries;
    std::string error;
    std::string ignored;
    if (name.kind == Kind::Backup) {
        side.path = backupScriptPath(m_car.folder);
        FileStatus backup;
        if (m_fileSystem.status(side.path, backup, ignored, Links::NotFollowed) && backup.type != FileType::Missing)
            return true;
        if (readHistory(m_fileSystem, m_car.folder, entries, error) && !entries.empty())
            m_messages.showError(m_caption, "The backup of the car " + inQuotes(m_car.name)
                                                + " is missing; version 1 holds what the last save replaced.");
        else
            m_messages.showError(m_caption, "The car " + inQuotes(m_car.name) + " has no backup yet: its first save makes it.");
        return false;
    }
    if (!readHistory(m_fileSystem, m_car.folder, entries, error)) {
        m_messages.showError(m_caption, "The history of the car " + inQuotes(m_car.name) + " cannot be read: " + error + ".");
        return false;
    }
    if (entries.empty()) {
        m_messages.showError(m_caption, "The car " + inQuotes(m_car.name) + " has no history yet: its first save starts it.");
        return false;
    }
    const bool original = name.kind == Kind::Original;
    const std::size_t index = original ? entries.size() - 1 : static_cast<std::size_t>(name.number - 1);
    if (index >= entries.size() || (original && !entries[index].original)) {
        m_messages.showError(m_caption, "The car " + inQuotes(m_car.name) + " has no version " + versionText(name)
                                            + ": its history holds " + std::to_string(entries.size())
                                            + (entries.size() == 1 ? " version" : " versions")
                                            + (entries.back().original ? ", the oldest its original." : ", none of them its original."));
        return false;
    }
    side.path = entries[index].path;
    side.label = std::to_string(index + 1) + (entries[index].original ? " (original)" : "");
    return true;
}

bool CarVersions::read(const VersionName& name, VersionSide& side, std::string& bytes)
{
    if (!find(name, side))
        return false;
    std::string error;
    if (m_fileSystem.readFile(side.path, bytes, error, LargestCarScript))
        return true;
    m_messages.showError(m_caption, "The version " + side.label + " of the car " + inQuotes(m_car.name)
                                        + " cannot be read: " + side.path.string() + ": " + error + ".");
    return false;
}

bool CarVersions::list(std::vector<VersionListing>& versions)
{
    const CarEntry* car = &m_car;
    std::vector<HistoryEntry> entries;
    std::string error;
    if (!readHistory(m_fileSystem, car->folder, entries, error)) {
        m_messages.showError("History", "The history of the car " + inQuotes(car->name) + " cannot be read: " + error + ".");
        return false;
    }
    try {
        std::string backup;
        std::string ignored;
        const std::filesystem::path backupPath = backupScriptPath(car->folder);
        const bool hasBackup = m_fileSystem.readFile(backupPath, backup, ignored, LargestCarScript);
        bool backupShown = false;
        const auto add = [&](VersionName name, const std::filesystem::path& path, std::optional<HistoryTime> time,
                             std::string marks) {
            VersionListing listing{name, std::move(marks), {}, {}, 0, {}, {}};
            std::string bytes;
            std::string why;
            if (m_fileSystem.readFile(path, bytes, why, LargestCarScript)) {
                listing.size = bytes.size();
                if (!isUtf16Text(bytes))
                    listing.values = readScriptSettings(bytes).over({});
                listing.settings = listing.values ? settingsLine(*listing.values) : std::string(InUtf16);
                // Restoring such a version would leave the car without settings.
                listing.lacks = bytes.empty() ? "empty" : !hasWheelBlock(bytes) ? "no wheels" : "";
                if (hasBackup && !backupShown && bytes == backup) {
                    backupShown = true;
                    listing.marks = listing.marks.empty() ? "backup" : "backup, " + listing.marks;
                }
            } else {
                listing.settings = "cannot be read (" + why + ")";
            }
            FileStatus written;
            const bool noTime =
                !m_fileSystem.status(path, written, why, Links::Followed) || written.type == FileType::Missing;
            listing.time = time ? *time
                : noTime    ? HistoryTime{}
                            : std::chrono::floor<std::chrono::milliseconds>(
                                  std::chrono::file_clock::to_sys(written.modified));
            versions.push_back(std::move(listing));
        };
        const std::filesystem::path script = carScriptPath(car->folder);
        std::string why;
        std::string bytes;
        // A folder without a car script, a history or a backup is no car.
        if (entries.empty() && !hasBackup && !m_fileSystem.readFile(script, bytes, why, LargestCarScript)) {
            m_messages.showError("Read car", "The car script of " + inQuotes(car->name) + " cannot be read: "
                                                 + script.string() + ": " + why + ".");
            versions.clear();
            return false;
        }
        add({VersionName::Kind::Current, 0}, script, std::nullopt, "");
        for (std::size_t i = 0; i < entries.size(); ++i)
            add({VersionName::Kind::Numbered, static_cast<int>(i + 1)}, entries[i].path, entries[i].time,
                entries[i].original ? "original" : "");
        if (hasBackup && !backupShown) {
            backupShown = true;
            add({VersionName::Kind::Backup, 0}, backupPath, std::nullopt, "");
            // Before the last save, so right after the script.
            std::rotate(versions.begin() + 1, versions.end() - 1, versions.end());
        }
        return true;
    } catch (const std::bad_alloc&) {
        versions.clear();
        m_messages.showError("History", "The history of the car " + inQuotes(car->name)
                                            + " cannot be listed: there is not enough memory to read it.");
        return false;
    }
}

bool CarVersions::compare(const VersionName& from, const VersionName& to, Comparison& comparison,
                          const SavePreview& saved)
{
    std::array<std::string, 2> bytes;
    if (!readCompared(from, to, comparison, bytes, saved))
        return false;
    try {
        comparison.diff = diffLines(bytes[0], bytes[1]);
        return true;
    } catch (const std::bad_alloc&) {
        m_messages.showError(m_caption, notEnoughMemoryToCompare(comparison));
        return false;
    }
}

bool CarVersions::readCompared(const VersionName& from, const VersionName& to, Comparison& comparison,
                               std::array<std::string, 2>& bytes, const SavePreview& saved)
{
    const bool preview = from.kind == VersionName::Kind::Saved || to.kind == VersionName::Kind::Saved;
    m_caption = preview ? "Preview changes" : "History";
    try {
        const VersionName* names[2] = {&from, &to};
        VersionSide* sides[2] = {&comparison.from, &comparison.to};
        for (std::size_t i = 0; i < 2; ++i) {
            if (names[i]->kind != VersionName::Kind::Saved) {
                if (!read(*names[i], *sides[i], bytes[i]))
                    return false;
                continue;
            }
            std::optional<std::string> written = saved();
            if (!written)
                return false;
            find(*names[i], *sides[i]);
            bytes[i] = std::move(*written);
        }
        return true;
    } catch (const std::bad_alloc&) {
        m_messages.showError(m_caption, "The versions of the car " + inQuotes(m_car.name)
                                            + " cannot be compared: there is not enough memory to compare them.");
        return false;
    }
}

bool CarVersions::restore(const VersionName& version)
{
    const CarEntry* car = &m_car;
    const SaveMessages told(m_messages, false);
    if (version.kind == VersionName::Kind::Current || version.kind == VersionName::Kind::Saved) {
        m_messages.showError("Restore", "The current script of the car " + inQuotes(car->name)
                                            + " is its car script already; there is nothing to restore.");
        return false;
    }
    std::string bytes;
    VersionSide side;
    try {
        if (!read(version, side, bytes))
            return false;
    } catch (const std::bad_alloc&) {
        told.notSaved(car->name, "there is not enough memory to save it");
        return false;
    }
    SaveJob job;
    job.car = *car;
    job.modelWhenMissing = side.path;
    job.newScript = [&bytes, name = car->name](const std::string&, ReplacementFile& file, std::string& written,
                                               MessagePresenter& messages) {
        if (!file.write(bytes)) {
            SaveMessages(messages, false).notSaved(name, "the new car script cannot be written (" + file.errorString()
                                                             + ")");
            return false;
        }
        written.swap(bytes);
        return true;
    };
    job.finish = [](const std::string&, MessagePresenter&) { return true; };
    job.outOfMemoryOnceSaved = [](MessagePresenter&) { return true; };
    SaveExecutor executor(m_fileSystem);
    executor.add(m_messages, [&](MessagePresenter&) { return std::optional(std::move(job)); });
    return executor.run().front();
}

} // namespace quendral
