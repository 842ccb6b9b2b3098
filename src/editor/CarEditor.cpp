#include "editor/CarEditor.h"

#include "editor/BatchSave.h"
#include "editor/SaveObstacles.h"

#include "carscript/ByteSink.h"
#include "carscript/CarFiles.h"
#include "carscript/FieldReader.h"
#include "carscript/FileSystem.h"
#include "carscript/SaveSettings.h"
#include "carscript/ScriptLoader.h"
#include "carscript/ScriptRewriter.h"
#include "carscript/ScriptVocabulary.h"
#include "controls/TextNumber.h"
#include "carscript/WheelLine.h"
#include "catalogue/FolderListing.h"
#include "catalogue/RacersFolderScan.h"
#include "controls/EditingControls.h"
#include "controls/MessagePresenter.h"
#include "history/LineDiff.h"
#include "history/ScriptHistory.h"

#include <algorithm>
#include <chrono>
#include <new>
#include <utility>
#include <vector>

namespace quendral {

namespace {

constexpr int SmallestWheelSize = 14;

constexpr std::string_view PreviewCaption = "Preview changes";

constexpr std::string_view InUtf16 = "in UTF-16, which the editor cannot edit";

std::string quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

bool hasWheelBlock(std::string_view script)
{
    FieldReader reader(script);
    Field field;
    while (reader.next(field))
        if (wheelMarker(field.text))
            return true;
    return false;
}

// Loads into scratch controls show the user nothing.
class NoMessages final : public MessagePresenter
{
public:
    void showError(std::string_view, std::string_view) override {}
};

// Passes the new car script on to its file and keeps a copy, to be read
// back once it is saved.
class CopyingSink final : public ByteSink
{
public:
    CopyingSink(ByteSink& file, std::size_t expected) : m_file(file) { copy.reserve(expected); }

    bool write(std::string_view bytes) override
    {
        copy.append(bytes);
        return m_file.write(bytes);
    }

    std::string copy;

private:
    ByteSink& m_file;
};

// The wheel sizes a save writes for two texts: whole numbers, the smallest
// at least 14 and the largest not below it.
std::optional<std::pair<int, int>> wheelSizes(std::string_view smallestText, std::string_view largestText)
{
    const auto smallest = toWholeNumber(smallestText);
    const auto largest = toWholeNumber(largestText);
    if (!smallest || !largest)
        return std::nullopt;
    const int lowest = std::max<int>(*smallest, SmallestWheelSize);
    if (*largest < lowest)
        return std::nullopt;
    return std::pair{lowest, static_cast<int>(*largest)};
}

template <typename T>
void takeUnchanged(T& mine, const T& loaded, const T& now)
{
    if (mine == loaded)
        mine = now;
}

std::string familiesText(const std::array<bool, 4>& engines)
{
    std::string text;
    for (const EngineFamily family : EngineFamilies) {
        if (!engines[static_cast<std::size_t>(familyIndex(family))])
            continue;
        if (!text.empty())
            text += ", ";
        text += familyName(family);
    }
    return text.empty() ? "none" : text;
}

int driveOf(const SaveSettings& settings)
{
    if (settings.frontDriven && settings.rearDriven)
        return 2;
    return settings.frontDriven ? 0 : settings.rearDriven ? 1 : -1;
}

std::string driveText(int drive)
{
    static constexpr std::array<const char*, 3> Names = {"front", "rear", "all"};
    return drive >= 0 && drive < 3 ? Names[static_cast<std::size_t>(drive)] : "none";
}

// Why a wheel block could not take what was written into it, when the
// rewrite knows.
std::optional<std::string> wheelTrouble(const RewriteNotes& notes, Wheel wheel)
{
    const auto index = static_cast<std::size_t>(wheel);
    const std::string name = wheel == Wheel::FrontLeft ? "front-left" : "rear-left";
    if (!notes.wheelBlock[index])
        return "it has no " + name + " wheel block (" + (wheel == Wheel::FrontLeft ? "# FL wheel #" : "# RL wheel #")
            + ")";
    if (notes.wheelLineTooShort[index])
        return "its " + name + " wheel line is too short to hold a ride height and drive (it needs "
            + std::to_string(ShortestRewrittenWheelLine) + " characters)";
    return std::nullopt;
}

// By CarEditor::Setting, which settings a script gave as it was loaded.
// The engine families are always given: a script without engine lines
// takes none.
std::array<bool, 6> givenBy(const LoadNotes& notes)
{
    return {true, notes.frontPosition || notes.rearPosition, notes.frontPosition.has_value(),
            notes.rearPosition.has_value(), notes.smallestWheel.has_value(), notes.largestWheel.has_value()};
}

std::string wheelReason(const RewriteNotes& notes, Wheel wheel)
{
    return wheelTrouble(notes, wheel)
        .value_or(std::string("its ") + (wheel == Wheel::FrontLeft ? "front-left" : "rear-left")
                  + " wheel block does not read back as written");
}

} // namespace

CarEditor::CarEditor(EditingControls& controls, MessagePresenter& messages, FileSystem& fileSystem)
    : m_controls(controls), m_messages(&messages), m_fileSystem(fileSystem)
{
    m_controls.folderChooser.changed.connect([this] { scanRacersFolder(m_controls, m_table); });
}

// A folder that cannot be read leaves the chooser where it was.
bool CarEditor::moveFolderChooser(const std::filesystem::path& folder, std::string& error)
{
    FolderContents contents;
    if (!listFolder(folder, contents, error))
        return false;
    m_controls.folderChooser.setFolder(folder, std::move(contents));
    return true;
}

bool CarEditor::pickDrive(const std::filesystem::path& drive)
{
    std::string error;
    if (!moveFolderChooser(drive, error)) {
        m_messages->showError("Quendral location",
                             "The drive " + quoted(drive.string()) + " cannot be read: " + error + ".");
        return false;
    }
    m_controls.driveChooser.setDrive(drive);
    return true;
}

bool CarEditor::openFolder(const std::filesystem::path& given)
{
    // A trailing separator would hide the folder's name from the racers test.
    const std::filesystem::path folder = withoutTrailingSeparator(given);
    std::string error;
    if (!moveFolderChooser(folder, error)) {
        m_messages->showError("Quendral location",
                             "The folder " + quoted(folder.string()) + " cannot be opened: " + error + ".");
        return false;
    }
    return true;
}

void CarEditor::pickCarFolder(const std::filesystem::path& given)
{
    const std::filesystem::path carFolder = withoutTrailingSeparator(given);
    CarEntry car{fileNameOf(carFolder), carFolder};
    m_controls.carList.clear();
    m_controls.carList.addItem(car.name);
    m_table.assign({std::move(car)});
    m_controls.carList.setListIndex(0);
}

bool CarEditor::loadSelectedCar()
{
    m_controls.clearEngineChecks();
    m_loaded.reset();
    const CarEntry* car = m_table.entry(m_controls.carList.listIndex());
    if (!car)
        return false;

    const std::filesystem::path script = carScriptPath(car->folder);
    const auto cannotRead = [&](std::string_view reason) {
        m_messages->showError("Read car", "The car script of " + quoted(car->name) + " cannot be read: "
                                             + script.string() + ": " + std::string(reason) + ".");
        return false;
    };
    try {
        std::string data;
        std::string error;
        if (!m_fileSystem.readFile(script, data, error, LargestCarScript))
            return cannotRead(error);
        if (isUtf16Text(data))
            return cannotRead("it is " + std::string(InUtf16));
        LoadNotes notes;
        loadCarSettings(data, m_controls, &notes);
        m_loaded = Loaded{car->folder, settingsOf(m_controls), ScriptStamp::of(data, script), givenBy(notes), {}};
        return true;
    } catch (const std::bad_alloc&) {
        return cannotRead("there is not enough memory to read it");
    }
}

const CarEntry* CarEditor::selectedCar(std::string_view caption)
{
    const CarEntry* car = m_table.entry(m_controls.carList.listIndex());
    if (!car)
        m_messages->showError(caption, "No car is selected. Pick a car in the list first.");
    return car;
}

bool CarEditor::save(SaveScope scope)
{
    BatchSave batch(m_fileSystem);
    batch.add(*this, scope);
    return batch.run().front();
}

CarEditor::SaveOutcome CarEditor::saveOver(const ScriptStamp& expected, SaveScope scope)
{
    std::optional<SaveJob> job = saveJob(scope);
    if (!job)
        return SaveOutcome::NotSaved;
    auto changed = std::make_shared<bool>(false);
    job->newScript = [rewrite = std::move(job->newScript), expected, changed](
                         const std::string& script, ReplacementFile& file, std::string& written) {
        if (!expected.sameBytes(script)) {
            *changed = true;
            return false;
        }
        return rewrite(script, file, written);
    };
    BatchSave batch(m_fileSystem);
    batch.add(*this, std::move(*job));
    if (batch.run().front())
        return SaveOutcome::Saved;
    return *changed ? SaveOutcome::ChangedOnDisk : SaveOutcome::NotSaved;
}

std::optional<ScriptStamp> CarEditor::loadedStamp() const
{
    return carLoaded() ? std::optional(m_loaded->stamp) : std::nullopt;
}

std::optional<ScriptStamp> CarEditor::stampOnDisk() const
{
    const CarEntry* car = m_table.entry(m_controls.carList.listIndex());
    if (!car)
        return std::nullopt;
    const std::filesystem::path script = carScriptPath(car->folder);
    try {
        std::string data;
        std::string error;
        if (!m_fileSystem.readFile(script, data, error, LargestCarScript))
            return std::nullopt;
        return ScriptStamp::of(data, script);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

bool CarEditor::editedSinceLoad() const
{
    return carLoaded() && settingsOf(m_controls) != m_loaded->settings;
}

std::optional<CarEditor::SaveJob> CarEditor::saveJob(SaveScope scope)
{
    // With no car chosen there are no wheel sizes to check or correct either.
    const CarEntry* car = selectedCar("Save file");
    if (!car)
        return std::nullopt;
    int smallest = 0;
    int largest = 0;
    if (!readWheelSizes(smallest, largest))
        return std::nullopt;

    // What the rewrite finds out, for the check once the script is saved.
    struct Rewritten
    {
        SaveSettings settings;
        std::optional<Settings> merged;
        RewriteNotes notes;
    };
    auto rewritten = std::make_shared<Rewritten>();
    SettingFlags compared{};
    SettingFlags changed{};
    settingsToCheck(*car, compared, changed);
    SaveJob job;
    job.car = car;
    job.newScript = [this, car, scope, smallest, largest, rewritten](const std::string& script, ReplacementFile& file,
                                                                    std::string& copy) {
        if (isUtf16Text(script)) {
            reportSaveFailure(*car, "its car script " + carScriptPath(car->folder).string() + " is "
                                        + std::string(InUtf16));
            return false;
        }
        if (!settingsToWrite(*car, scope, script, smallest, largest, rewritten->settings, rewritten->merged))
            return false;
        CopyingSink sink(file, script.size() + script.size() / 8 + 4096);
        std::string error;
        if (!rewriteScript(script, rewritten->settings, sink, error, &rewritten->notes)) {
            const std::string fileError = file.errorString();
            reportSaveFailure(*car, fileError.empty() ? error : error + " (" + fileError + ")");
            return false;
        }
        copy = std::move(sink.copy);
        return true;
    };
    job.finish = [this, car, rewritten, compared, changed](const std::string& written) {
        if (rewritten->merged)
            show(*rewritten->merged, m_controls);
        const bool took = checkReadBack(*car, rewritten->settings, compared, changed, written, rewritten->notes, true);
        if (m_loaded && m_loaded->carFolder == car->folder)
            m_loaded->stamp = ScriptStamp::of(written, carScriptPath(car->folder));
        return took;
    };
    job.outOfMemoryOnceSaved = [this, car] {
        m_messages->showError("Save file", "The car " + quoted(car->name)
                                               + " was saved, but there was not enough memory to read it "
                                                 "back and check its settings.");
        return false;
    };
    return job;
}

// What `check` names too.
bool CarEditor::checkWritable(const CarEntry& car)
{
    const std::vector<std::string> obstacles = saveObstacles(car.folder, m_fileSystem);
    if (!obstacles.empty())
        reportSaveFailure(car, obstacles.front());
    return obstacles.empty();
}

bool CarEditor::readScriptToSave(const CarEntry& car, std::string& data)
{
    const std::filesystem::path script = carScriptPath(car.folder);
    std::string error;
    if (!m_fileSystem.readFile(script, data, error, LargestCarScript)) {
        reportSaveFailure(car, "its car script " + script.string() + " cannot be read (" + error + ")");
        return false;
    }
    return true;
}

bool CarEditor::previewSave(SaveScope scope, std::string& current, std::optional<std::string>& written)
{
    written.reset();
    const bool wasPreviewing = std::exchange(m_previewing, true);
    const std::shared_ptr<void> previewEnds(nullptr, [this, wasPreviewing](void*) { m_previewing = wasPreviewing; });
    const CarEntry* car = selectedCar(PreviewCaption);
    int smallest = 0;
    int largest = 0;
    if (!car || !readWheelSizes(smallest, largest))
        return false;
    try {
        if (!checkWritable(*car) || !readScriptToSave(*car, current))
            return false;
        if (isUtf16Text(current)) {
            reportSaveFailure(*car, "its car script " + carScriptPath(car->folder).string() + " is "
                                        + std::string(InUtf16));
            return false;
        }
        SaveSettings settings;
        std::optional<Settings> merged;
        if (!settingsToWrite(*car, scope, current, smallest, largest, settings, merged))
            return false;
        StringSink sink;
        RewriteNotes notes;
        std::string error;
        if (!rewriteScript(current, settings, sink, error, &notes)) {
            reportSaveFailure(*car, error);
            return false;
        }
        written = std::move(sink.data);
        SettingFlags compared{};
        SettingFlags changed{};
        settingsToCheck(*car, compared, changed);
        return checkReadBack(*car, settings, compared, changed, *written, notes, false);
    } catch (const std::bad_alloc&) {
        written.reset();
        reportSaveFailure(*car, "there is not enough memory to save it");
        return false;
    }
}

bool CarEditor::carLoaded() const
{
    const CarEntry* car = m_table.entry(m_controls.carList.listIndex());
    return car && m_loaded && m_loaded->carFolder == car->folder;
}

bool CarEditor::findVersion(const CarEntry& car, const VersionName& name, VersionSide& side)
{
    using Kind = VersionName::Kind;
    side.label = versionText(name);
    if (name.kind == Kind::Current || name.kind == Kind::Saved) {
        side.path = carScriptPath(car.folder);
        return true;
    }
    std::vector<HistoryEntry> entries;
    std::string error;
    std::error_code ignored;
    if (name.kind == Kind::Backup) {
        side.path = backupScriptPath(car.folder);
        if (std::filesystem::exists(std::filesystem::symlink_status(side.path, ignored)))
            return true;
        if (readHistory(car.folder, entries, error) && !entries.empty())
            m_messages->showError(historyCaption(), "The backup of the car " + quoted(car.name)
                                                + " is missing; version 1 holds what the last save replaced.");
        else
            m_messages->showError(historyCaption(), "The car " + quoted(car.name) + " has no backup yet: its first save makes it.");
        return false;
    }
    if (!readHistory(car.folder, entries, error)) {
        m_messages->showError(historyCaption(), "The history of the car " + quoted(car.name) + " cannot be read: " + error + ".");
        return false;
    }
    if (entries.empty()) {
        m_messages->showError(historyCaption(), "The car " + quoted(car.name) + " has no history yet: its first save starts it.");
        return false;
    }
    const bool original = name.kind == Kind::Original;
    const std::size_t index = original ? entries.size() - 1 : static_cast<std::size_t>(name.number - 1);
    if (index >= entries.size() || (original && !entries[index].original)) {
        m_messages->showError(historyCaption(), "The car " + quoted(car.name) + " has no version " + versionText(name)
                                            + ": its history holds " + std::to_string(entries.size())
                                            + (entries.size() == 1 ? " version" : " versions")
                                            + (entries.back().original ? ", the oldest its original." : ", none of them its original."));
        return false;
    }
    side.path = entries[index].path;
    side.label = std::to_string(index + 1) + (entries[index].original ? " (original)" : "");
    return true;
}

bool CarEditor::readVersion(const CarEntry& car, const VersionName& name, VersionSide& side, std::string& bytes)
{
    if (!findVersion(car, name, side))
        return false;
    std::string error;
    if (m_fileSystem.readFile(side.path, bytes, error, LargestCarScript))
        return true;
    m_messages->showError(historyCaption(), "The version " + side.label + " of the car " + quoted(car.name)
                                        + " cannot be read: " + side.path.string() + ": " + error + ".");
    return false;
}

bool CarEditor::listVersions(std::vector<VersionListing>& versions)
{
    versions.clear();
    const CarEntry* car = selectedCar("History");
    if (!car)
        return false;
    std::vector<HistoryEntry> entries;
    std::string error;
    if (!readHistory(car->folder, entries, error)) {
        m_messages->showError("History", "The history of the car " + quoted(car->name) + " cannot be read: " + error + ".");
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
            VersionListing listing{name, std::move(marks), {}, {}, 0, {}};
            std::string bytes;
            std::string why;
            if (m_fileSystem.readFile(path, bytes, why, LargestCarScript)) {
                listing.size = bytes.size();
                listing.settings = settingsText(bytes);
                // Restoring such a version would leave the car without settings.
                listing.lacks = bytes.empty() ? "empty" : !hasWheelBlock(bytes) ? "no wheels" : "";
                if (hasBackup && !backupShown && bytes == backup) {
                    backupShown = true;
                    listing.marks = listing.marks.empty() ? "backup" : "backup, " + listing.marks;
                }
            } else {
                listing.settings = "cannot be read (" + why + ")";
            }
            std::error_code noTime;
            const auto written = std::filesystem::last_write_time(path, noTime);
            listing.time = time ? *time
                : noTime    ? HistoryTime{}
                            : std::chrono::floor<std::chrono::milliseconds>(std::chrono::file_clock::to_sys(written));
            versions.push_back(std::move(listing));
        };
        const std::filesystem::path script = carScriptPath(car->folder);
        std::string why;
        std::string bytes;
        // A folder without a car script, a history or a backup is no car.
        if (entries.empty() && !hasBackup && !m_fileSystem.readFile(script, bytes, why, LargestCarScript)) {
            m_messages->showError("Read car", "The car script of " + quoted(car->name) + " cannot be read: "
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
        m_messages->showError("History", "The history of the car " + quoted(car->name)
                                            + " cannot be listed: there is not enough memory to read it.");
        return false;
    }
}

bool CarEditor::compare(const VersionName& from, const VersionName& to, Comparison& comparison)
{
    std::array<std::string, 2> bytes;
    if (!readCompared(from, to, comparison, bytes))
        return false;
    try {
        comparison.diff = diffLines(bytes[0], bytes[1]);
        return true;
    } catch (const std::bad_alloc&) {
        m_messages->showError("History", notEnoughMemoryToCompare(comparison));
        return false;
    }
}

bool CarEditor::readCompared(const VersionName& from, const VersionName& to, Comparison& comparison,
                             std::array<std::string, 2>& bytes)
{
    const bool preview = from.kind == VersionName::Kind::Saved || to.kind == VersionName::Kind::Saved;
    const bool wasPreviewing = std::exchange(m_previewing, preview);
    const std::shared_ptr<void> previewEnds(nullptr, [this, wasPreviewing](void*) { m_previewing = wasPreviewing; });
    const CarEntry* car = selectedCar(historyCaption());
    if (!car)
        return false;
    try {
        const VersionName* names[2] = {&from, &to};
        VersionSide* sides[2] = {&comparison.from, &comparison.to};
        for (std::size_t i = 0; i < 2; ++i) {
            if (names[i]->kind != VersionName::Kind::Saved) {
                if (!readVersion(*car, *names[i], *sides[i], bytes[i]))
                    return false;
                continue;
            }
            std::string current;
            std::optional<std::string> written;
            previewSave(SaveScope::EveryControl, current, written);
            if (!written)
                return false;
            findVersion(*car, *names[i], *sides[i]);
            bytes[i] = std::move(*written);
        }
        return true;
    } catch (const std::bad_alloc&) {
        m_messages->showError("History", "The versions of the car " + quoted(car->name)
                                            + " cannot be compared: there is not enough memory to compare them.");
        return false;
    }
}

bool CarEditor::restore(const VersionName& version)
{
    const CarEntry* car = selectedCar("Restore");
    if (!car)
        return false;
    if (version.kind == VersionName::Kind::Current || version.kind == VersionName::Kind::Saved) {
        m_messages->showError("Restore", "The current script of the car " + quoted(car->name)
                                            + " is its car script already; there is nothing to restore.");
        return false;
    }
    std::string bytes;
    VersionSide side;
    try {
        if (!readVersion(*car, version, side, bytes))
            return false;
    } catch (const std::bad_alloc&) {
        reportSaveFailure(*car, "there is not enough memory to save it");
        return false;
    }
    SaveJob job;
    job.car = car;
    job.modelWhenMissing = side.path;
    job.newScript = [this, car, &bytes](const std::string&, ReplacementFile& file, std::string& written) {
        if (!file.write(bytes)) {
            reportSaveFailure(*car, "the new car script cannot be written (" + file.errorString() + ")");
            return false;
        }
        written.swap(bytes);
        return true;
    };
    job.finish = [](const std::string&) { return true; };
    job.outOfMemoryOnceSaved = [] { return true; };
    BatchSave batch(m_fileSystem);
    batch.add(*this, std::move(job));
    return batch.run().front();
}

// The controls; or, for ChangedSettings when the script no longer holds
// what was loaded, the settings changed here since the load over those it
// holds now. Those are checked again, since the wheel sizes of two saves
// need not make a range.
bool CarEditor::settingsToWrite(const CarEntry& car, SaveScope scope, std::string_view script, int smallest,
                                int largest, SaveSettings& settings, std::optional<Settings>& merged)
{
    Settings wanted = settingsOf(m_controls);
    if (scope == SaveScope::ChangedSettings && m_loaded && m_loaded->carFolder == car.folder) {
        const Settings& loaded = m_loaded->settings;
        const Settings now = loadedOver(loaded, script);
        if (now != loaded) {
            for (std::size_t i = 0; i < wanted.engines.size(); ++i)
                takeUnchanged(wanted.engines[i], loaded.engines[i], now.engines[i]);
            takeUnchanged(wanted.drive, loaded.drive, now.drive);
            takeUnchanged(wanted.front, loaded.front, now.front);
            takeUnchanged(wanted.rear, loaded.rear, now.rear);
            takeUnchanged(wanted.smallest, loaded.smallest, now.smallest);
            takeUnchanged(wanted.largest, loaded.largest, now.largest);
            const auto sizes = wheelSizes(wanted.smallest, wanted.largest);
            if (!sizes) {
                reportSaveFailure(car, "another save changed its wheel sizes meanwhile, and with those given here "
                                       "they make no range (" + wanted.smallest + " to " + wanted.largest + ")");
                return false;
            }
            std::tie(smallest, largest) = *sizes;
            merged = wanted;
        }
    }

    settings.engines = wanted.engines;
    settings.frontDriven = wanted.drive == 0 || wanted.drive == 2;
    settings.rearDriven = wanted.drive == 1 || wanted.drive == 2;
    settings.driveChosen = wanted.drive != OptionGroup::None;
    settings.frontPosition = wanted.front;
    settings.rearPosition = wanted.rear;
    settings.smallestWheel = smallest;
    settings.largestWheel = largest;
    return true;
}

// Loads what was written, as the next load of the car will, and compares
// each setting the save wrote with what was asked. The save itself stands.
// Settings neither given nor changed are written as the controls show them,
// but not missed when the script cannot take them. A car not loaded has
// every setting changed.
void CarEditor::settingsToCheck(const CarEntry& car, SettingFlags& compared, SettingFlags& changed) const
{
    const bool loaded = m_loaded && m_loaded->carFolder == car.folder;
    changed = loaded ? changedSettings() : SettingFlags{true, true, true, true, true, true};
    for (std::size_t i = 0; i < compared.size(); ++i)
        compared[i] = changed[i] || (loaded && m_loaded->given[i]);
}

void CarEditor::markChanged(Setting setting)
{
    if (m_loaded)
        m_loaded->marked[static_cast<std::size_t>(setting)] = true;
}

CarEditor::SettingFlags CarEditor::changedSettings() const
{
    SettingFlags changed{};
    if (!m_loaded)
        return changed;
    const Settings now = settingsOf(m_controls);
    const Settings& loaded = m_loaded->settings;
    const std::array<bool, 6> differs = {now.engines != loaded.engines, now.drive != loaded.drive,
                                         now.front != loaded.front,     now.rear != loaded.rear,
                                         now.smallest != loaded.smallest, now.largest != loaded.largest};
    for (std::size_t i = 0; i < changed.size(); ++i)
        changed[i] = differs[i] || m_loaded->marked[i];
    return changed;
}

// Loads what was written, as the next load of the car will, and compares
// with what was asked each setting the save wrote that the script gave at
// load or that was changed since. The save itself stands.
bool CarEditor::checkReadBack(const CarEntry& car, const SaveSettings& asked, const SettingFlags& compared,
                              const SettingFlags& changed, std::string_view written, const RewriteNotes& notes,
                              bool remember)
{
    // Read over values unlike those asked for, so that a setting the new
    // script does not give cannot pass for one it took.
    Settings unlike;
    unlike.front = asked.frontPosition == 0 ? 1 : 0;
    unlike.rear = asked.rearPosition == 0 ? 1 : 0;
    SettingFlags given{};
    const Settings back = loadedOver(unlike, written, &given);
    if (remember)
        m_loaded = Loaded{car.folder, back, {}, given, {}};
    const auto at = [](const SettingFlags& flags, Setting setting) { return flags[static_cast<std::size_t>(setting)]; };
    const auto positionGiven = [&](Setting setting, int position) {
        return at(given, setting) ? std::to_string(position) : std::string("none");
    };

    std::vector<std::string> missed;
    const auto miss = [&](const std::string& setting, const std::string& shown, const std::string& why) {
        missed.push_back(setting + " (the saved script gives " + shown + ": " + why + ")");
    };
    if (at(compared, Setting::Engines) && back.engines != asked.engines)
        miss("engine families " + familiesText(asked.engines), familiesText(back.engines),
             notes.engineBlock ? "lines outside its engine block name engine families"
                               : "it has no engine block, a line ending in engine_block");
    // Without a drive the wheel lines are kept as they are, heights and all.
    if (asked.driveChosen) {
        if (at(compared, Setting::Drive) && back.drive != driveOf(asked))
            miss("drive " + driveText(driveOf(asked)), driveText(back.drive),
                 wheelTrouble(notes, Wheel::FrontLeft).value_or(wheelReason(notes, Wheel::RearLeft)));
        if (at(compared, Setting::Front) && (back.front != asked.frontPosition || !at(given, Setting::Front)))
            miss("front ride height " + std::to_string(asked.frontPosition), positionGiven(Setting::Front, back.front),
                 wheelReason(notes, Wheel::FrontLeft));
        if (at(compared, Setting::Rear) && (back.rear != asked.rearPosition || !at(given, Setting::Rear)))
            miss("rear ride height " + std::to_string(asked.rearPosition), positionGiven(Setting::Rear, back.rear),
                 wheelReason(notes, Wheel::RearLeft));
    } else {
        for (const auto& [setting, name, position] :
             {std::tuple{Setting::Front, "front ride height ", asked.frontPosition},
              std::tuple{Setting::Rear, "rear ride height ", asked.rearPosition}})
            if (at(changed, setting))
                missed.push_back(name + std::to_string(position)
                                 + " (a ride height is written only for a car with a drive)");
    }
    const auto sizeGiven = [](const std::string& text) { return text.empty() ? std::string("none") : quoted(text); };
    if (at(compared, Setting::Smallest) && toWholeNumber(back.smallest) != asked.smallestWheel)
        miss("smallest wheel size " + std::to_string(asked.smallestWheel), sizeGiven(back.smallest),
             wheelReason(notes, Wheel::FrontLeft));
    if (at(compared, Setting::Largest) && toWholeNumber(back.largest) != asked.largestWheel)
        miss("largest wheel size " + std::to_string(asked.largestWheel), sizeGiven(back.largest),
             wheelReason(notes, Wheel::FrontLeft));
    if (missed.empty())
        return true;

    std::string list;
    for (const std::string& item : missed)
        list += (list.empty() ? "" : "; ") + item;
    m_messages->showError(m_previewing ? PreviewCaption : "Save file",
                          "The car " + quoted(car.name) + (m_previewing ? " would be saved" : " was saved")
                              + ", but its car script could not take every setting: " + list + ".");
    return false;
}

// The minimum below 14 is corrected to 14 with a message; a maximum below
// the minimum stops the save. Texts that are not numbers stop it too.
bool CarEditor::readWheelSizes(int& smallest, int& largest)
{
    auto minimum = toWholeNumber(m_controls.smallestWheel.text());
    if (!minimum) {
        m_messages->showError("Min size", "The minimum wheel size " + quoted(m_controls.smallestWheel.text())
                                             + " is not a whole number between -32768 and 32767.");
        return false;
    }
    if (*minimum < SmallestWheelSize) {
        m_messages->showError("Min size",
                             "Minimum wheelsize is 14 inch!!!! \rThe size has been corrected.");
        m_controls.smallestWheel.setText(std::to_string(SmallestWheelSize));
        minimum = SmallestWheelSize;
    }

    const auto maximum = toWholeNumber(m_controls.largestWheel.text());
    if (!maximum) {
        m_messages->showError("Max size", "The maximum wheel size " + quoted(m_controls.largestWheel.text())
                                             + " is not a whole number between -32768 and 32767.");
        return false;
    }
    if (*maximum < *minimum) {
        m_messages->showError("MIN>MAX", "Min is bigger then max!!!!");
        return false;
    }
    smallest = *minimum;
    largest = *maximum;
    return true;
}

CarEditor::Settings CarEditor::settingsOf(const EditingControls& controls)
{
    Settings settings;
    const auto checks = controls.engineChecks();
    for (std::size_t i = 0; i < checks.size(); ++i)
        settings.engines[i] = checks[i]->isChecked();
    settings.drive = controls.driveSystem.selected();
    settings.front = controls.frontHeight.value();
    settings.rear = controls.rearHeight.value();
    settings.smallest = controls.smallestWheel.text();
    settings.largest = controls.largestWheel.text();
    return settings;
}

void CarEditor::show(const Settings& settings, EditingControls& controls)
{
    const auto checks = controls.engineChecks();
    for (std::size_t i = 0; i < checks.size(); ++i)
        checks[i]->setValue(settings.engines[i] ? 1 : 0);
    if (settings.drive != OptionGroup::None)
        controls.driveSystem.setValue(settings.drive, true);
    else if (controls.driveSystem.selected() != OptionGroup::None)
        controls.driveSystem.setValue(controls.driveSystem.selected(), false);
    controls.frontHeight.setValue(settings.front);
    controls.rearHeight.setValue(settings.rear);
    controls.smallestWheel.setText(settings.smallest);
    controls.largestWheel.setText(settings.largest);
}

// The settings a script gives when it is loaded into controls that show
// `start`: what it does not give keeps the value of `start`.
CarEditor::Settings CarEditor::loadedOver(const Settings& start, std::string_view script, SettingFlags* given)
{
    NoMessages quiet;
    EditingControls scratch(quiet);
    show(start, scratch);
    LoadNotes notes;
    loadCarSettings(script, scratch, &notes);
    if (given)
        *given = givenBy(notes);
    return settingsOf(scratch);
}

// The settings a script gives, as `show` names them, on one line.
std::string CarEditor::settingsText(std::string_view script)
{
    if (isUtf16Text(script))
        return "in UTF-16, which the editor cannot edit";
    NoMessages quiet;
    EditingControls scratch(quiet);
    loadCarSettings(script, scratch);
    const Settings settings = settingsOf(scratch);
    std::string engines;
    for (const EngineFamily family : EngineFamilies)
        if (settings.engines[static_cast<std::size_t>(familyIndex(family))])
            engines += (engines.empty() ? "" : " ") + std::string(familyName(family));
    return "engines: " + (engines.empty() ? std::string("none") : engines) + " · drive: " + driveText(settings.drive)
        + " · front: " + std::to_string(settings.front) + " · rear: " + std::to_string(settings.rear)
        + " · min: " + settings.smallest + " · max: " + settings.largest;
}

void CarEditor::reportSaveFailure(const CarEntry& car, const std::string& reason)
{
    if (m_previewing)
        m_messages->showError(PreviewCaption, "The car " + quoted(car.name) + " would not be saved: " + reason + ".");
    else
        m_messages->showError("Save file", "The car " + quoted(car.name) + " was not saved: " + reason
                                              + ". Its car script is unchanged.");
}

} // namespace quendral
