#include "editor/EditorSession.h"

#include "carscript/CarFiles.h"
#include "carscript/FileSystem.h"
#include "carscript/SettingsReader.h"
#include "controls/EditingControls.h"
#include "controls/MessagePresenter.h"
#include "editor/SaveExecutor.h"
#include "editor/SaveMessages.h"
#include "editor/SaveObstacles.h"
#include "editor/SavePlan.h"
#include "settings/InQuotes.h"

#include <new>
#include <utility>

namespace quendral {

namespace {

// The plan of a save on the script read for it; nothing after telling why
// the script cannot be saved.
std::optional<SavePlan> plannedSave(const CarEntry& car, const std::string& script, const SaveRequest& request,
                                    const SaveMessages& told)
{
    if (isUtf16Text(script)) {
        told.notSaved(car.name, "its car script " + carScriptPath(car.folder).string() + " is " + std::string(InUtf16));
        return std::nullopt;
    }
    SavePlan plan = planSave(script, request);
    if (plan.refusal) {
        told.notSaved(car.name, *plan.refusal);
        return std::nullopt;
    }
    return plan;
}

} // namespace

EditorSession::EditorSession(EditingControls& controls, MessagePresenter& messages, FileSystem& fileSystem)
    : m_controls(controls), m_messages(messages), m_fileSystem(fileSystem),
      m_choice(m_controls, messages, fileSystem)
{
}

EditorSession::EditorSession(MessagePresenter& messages, FileSystem& fileSystem)
    : m_ownControls(std::make_unique<EditingControls>(messages)), m_controls(*m_ownControls), m_messages(messages),
      m_fileSystem(fileSystem),
      m_choice(m_controls, messages, fileSystem)
{
}

EditorSession::~EditorSession() = default;

bool EditorSession::loadSelectedCar()
{
    m_controls.clearEngineChecks();
    m_loaded.reset();
    const CarEntry* car = m_choice.selected();
    if (!car)
        return false;

    const std::filesystem::path script = carScriptPath(car->folder);
    const auto cannotRead = [&](std::string_view reason) {
        m_messages.showError("Read car", "The car script of " + inQuotes(car->name) + " cannot be read: "
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
        const ScriptSettings read = readScriptSettings(data);
        m_controls.show(read);
        m_loaded = Loaded{car->folder, m_controls.settings(), ScriptStamp::of(data), read.given, {}};
        return true;
    } catch (const std::bad_alloc&) {
        return cannotRead("there is not enough memory to read it");
    }
}

std::optional<CarSettings> EditorSession::loaded() const
{
    return carLoaded() ? std::optional(m_loaded->settings) : std::nullopt;
}

CarSettings EditorSession::shown() const
{
    return m_controls.settings();
}

void EditorSession::want(const CarSettings& wanted, const SettingFlags& changed)
{
    m_controls.show(wanted);
    for (std::size_t i = 0; i < changed.size(); ++i)
        if (changed[i])
            markChanged(static_cast<Setting>(i));
}

bool EditorSession::save(SaveScope scope)
{
    SaveExecutor executor(m_fileSystem);
    executor.add(m_messages, [&](MessagePresenter& messages) { return saveJob(scope, messages); });
    return executor.run().front();
}

EditorSession::SaveOutcome EditorSession::saveOver(const ScriptStamp& expected, SaveScope scope)
{
    std::optional<SaveJob> job = saveJob(scope, m_messages);
    if (!job)
        return SaveOutcome::NotSaved;
    auto changed = std::make_shared<bool>(false);
    job->newScript = [rewrite = std::move(job->newScript), expected, changed](
                         const std::string& script, ReplacementFile& file, std::string& written,
                         MessagePresenter& messages) {
        if (!expected.sameBytes(script)) {
            *changed = true;
            return false;
        }
        return rewrite(script, file, written, messages);
    };
    SaveExecutor executor(m_fileSystem);
    executor.add(m_messages, [&](MessagePresenter&) { return std::move(job); });
    if (executor.run().front())
        return SaveOutcome::Saved;
    return *changed ? SaveOutcome::ChangedOnDisk : SaveOutcome::NotSaved;
}

std::optional<SaveJob> EditorSession::saveJob(SaveScope scope, MessagePresenter& messages)
{
    // With no car chosen there are no wheel sizes to check or correct either.
    const CarEntry* car = m_choice.selected("Save file", messages);
    if (!car || !m_controls.checkWheelSizes(messages))
        return std::nullopt;
    auto plan = std::make_shared<SavePlan>();
    SaveJob job;
    job.car = *car;
    job.newScript = [car = *car, request = requestFor(*car, scope), plan](
                        const std::string& script, ReplacementFile& file, std::string& written,
                        MessagePresenter& messages) {
        const SaveMessages told(messages, false);
        std::optional<SavePlan> planned = plannedSave(car, script, request, told);
        if (!planned)
            return false;
        *plan = std::move(*planned);
        if (!file.write(plan->written)) {
            told.notSaved(car.name, "the new car script could not be written (" + file.errorString() + ")");
            return false;
        }
        written = std::move(plan->written);
        return true;
    };
    job.finish = [this, car = *car, plan](const std::string& written, MessagePresenter& messages) {
        if (plan->merged)
            m_controls.show(plan->settings);
        m_loaded = Loaded{car.folder, plan->readBack, ScriptStamp::of(written), plan->givenBack, {}};
        if (plan->missed.empty())
            return true;
        SaveMessages(messages, false).savedWithout(car.name, plan->missed);
        return false;
    };
    job.outOfMemoryOnceSaved = [name = car->name](MessagePresenter& messages) {
        messages.showError("Save file", "The car " + inQuotes(name)
                                            + " was saved, but there was not enough memory to read it "
                                              "back and check its settings.");
        return false;
    };
    return job;
}

bool EditorSession::previewSave(SaveScope scope, std::string& current, std::optional<std::string>& written)
{
    written.reset();
    const SaveMessages told(m_messages, true);
    const CarEntry* car = m_choice.selected(told.caption(), m_messages);
    if (!car || !m_controls.checkWheelSizes(m_messages))
        return false;
    try {
        if (!checkWritable(*car, m_fileSystem, told) || !readScriptToSave(*car, m_fileSystem, current, told))
            return false;
        std::optional<SavePlan> plan = plannedSave(*car, current, requestFor(*car, scope), told);
        if (!plan)
            return false;
        written = std::move(plan->written);
        if (!plan->missed.empty())
            told.savedWithout(car->name, plan->missed);
        return plan->missed.empty();
    } catch (const std::bad_alloc&) {
        written.reset();
        told.notSaved(car->name, "there is not enough memory to save it");
        return false;
    }
}

// The settings shown, and what the car as loaded tells of them. A car not
// loaded has every setting changed.
SaveRequest EditorSession::requestFor(const CarEntry& car, SaveScope scope) const
{
    SaveRequest request;
    request.wanted = m_controls.settings();
    request.mergeChanges = scope == SaveScope::ChangedSettings;
    if (m_loaded && m_loaded->carFolder == car.folder) {
        request.loaded = m_loaded->settings;
        request.given = m_loaded->given;
        request.changed = changedSettings();
    }
    return request;
}

std::optional<ScriptStamp> EditorSession::loadedStamp() const
{
    return carLoaded() ? std::optional(m_loaded->stamp) : std::nullopt;
}

std::optional<ScriptStamp> EditorSession::stampOnDisk() const
{
    const CarEntry* car = m_choice.selected();
    if (!car)
        return std::nullopt;
    const std::filesystem::path script = carScriptPath(car->folder);
    try {
        std::string data;
        std::string error;
        if (!m_fileSystem.readFile(script, data, error, LargestCarScript))
            return std::nullopt;
        return ScriptStamp::of(data);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

bool EditorSession::editedSinceLoad() const
{
    return carLoaded() && m_controls.settings() != m_loaded->settings;
}

bool EditorSession::carLoaded() const
{
    const CarEntry* car = m_choice.selected();
    return car && m_loaded && m_loaded->carFolder == car->folder;
}

bool EditorSession::listVersions(std::vector<VersionListing>& versions)
{
    versions.clear();
    const CarEntry* car = m_choice.selected("History", m_messages);
    return car && CarVersions(*car, m_fileSystem, m_messages).list(versions);
}

bool EditorSession::compare(const VersionName& from, const VersionName& to, Comparison& comparison)
{
    const CarEntry* car = versionsCar(from, to);
    return car && CarVersions(*car, m_fileSystem, m_messages).compare(from, to, comparison, savePreview());
}

bool EditorSession::readCompared(const VersionName& from, const VersionName& to, Comparison& comparison,
                                 std::array<std::string, 2>& bytes)
{
    const CarEntry* car = versionsCar(from, to);
    return car && CarVersions(*car, m_fileSystem, m_messages).readCompared(from, to, comparison, bytes, savePreview());
}

const CarEntry* EditorSession::versionsCar(const VersionName& from, const VersionName& to)
{
    const bool preview = from.kind == VersionName::Kind::Saved || to.kind == VersionName::Kind::Saved;
    return m_choice.selected(preview ? "Preview changes" : "History", m_messages);
}

CarVersions::SavePreview EditorSession::savePreview()
{
    return [this]() -> std::optional<std::string> {
        std::string current;
        std::optional<std::string> written;
        previewSave(SaveScope::EveryControl, current, written);
        return written;
    };
}

bool EditorSession::restore(const VersionName& version)
{
    const CarEntry* car = m_choice.selected("Restore", m_messages);
    return car && CarVersions(*car, m_fileSystem, m_messages).restore(version);
}

void EditorSession::markChanged(Setting setting)
{
    if (m_loaded)
        m_loaded->marked[static_cast<std::size_t>(setting)] = true;
}

SettingFlags EditorSession::changedSettings() const
{
    SettingFlags changed{};
    if (!m_loaded)
        return changed;
    const CarSettings now = m_controls.settings();
    const CarSettings& loaded = m_loaded->settings;
    const SettingFlags differs = {now.engines != loaded.engines,   now.drive != loaded.drive,
                                  now.front != loaded.front,       now.rear != loaded.rear,
                                  now.smallest != loaded.smallest, now.largest != loaded.largest};
    for (std::size_t i = 0; i < changed.size(); ++i)
        changed[i] = differs[i] || m_loaded->marked[i];
    return changed;
}

} // namespace quendral
