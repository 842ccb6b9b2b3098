#include "windows/LoadedCar.h"

#include "carscript/CarFiles.h"
#include "controls/EditingControls.h"
#include "editor/EditorSession.h"
#include "history/ScriptHistory.h"
#include "windows/ChangedOnDiskBar.h"
#include "windows/ConflictQuestion.h"
#include "windows/ShownText.h"

#include <QStatusBar>

namespace quendral {

LoadedCar::LoadedCar(EditorSession& editor, EditingControls& controls, ChangedOnDiskBar& changedBar,
                     QStatusBar& statusBar, QWidget* window, std::function<void()> carChanged)
    : QObject(window), m_editor(editor), m_controls(controls), m_changedBar(changedBar), m_statusBar(statusBar),
      m_window(window), m_carChanged(std::move(carChanged)), m_watcher([this] { noticeChange(); }, this)
{
}

// Only over the script it was loaded from, unless the user says so.
void LoadedCar::save()
{
    const std::optional<ScriptStamp> loaded = m_editor.loadedStamp();
    if (!loaded) {
        saveAnyway();
        return;
    }
    switch (m_editor.saveOver(*loaded, EditorSession::SaveScope::EveryControl)) {
    case EditorSession::SaveOutcome::Saved: tellSaved(); break;
    case EditorSession::SaveOutcome::NotSaved: m_carChanged(); break;
    case EditorSession::SaveOutcome::ChangedOnDisk:
        ConflictQuestion::ask(carName(), m_window, [this](ConflictQuestion::Answer answer) {
            if (answer == ConflictQuestion::Answer::Reload)
                reload();
            else if (answer == ConflictQuestion::Answer::GoAhead)
                saveAnyway();
        });
        break;
    }
}

void LoadedCar::saveAnyway()
{
    if (m_editor.save(EditorSession::SaveScope::EveryControl))
        tellSaved();
    else
        m_carChanged();
}

void LoadedCar::tellSaved()
{
    loaded();
    const int row = m_controls.carList.listIndex();
    const CarEntry* car = m_editor.carTable().entry(row);
    std::vector<HistoryEntry> entries;
    std::string ignored;
    if (!car || !readHistory(car->folder, entries, ignored))
        return;
    m_statusBar.showMessage(QStringLiteral("Saved %1 — %2 %3 kept")
                                 .arg(carName())
                                 .arg(entries.size())
                                 .arg(entries.size() == 1 ? QStringLiteral("version") : QStringLiteral("versions")));
}

QString LoadedCar::carName() const
{
    const int index = m_controls.carList.listIndex();
    return index < 0 ? QString() : shownText(m_controls.carList.items()[static_cast<std::size_t>(index)]);
}

void LoadedCar::load()
{
    m_editor.loadSelectedCar();
    loaded();
}

// Whatever the controls showed before, they now show what the script holds.
void LoadedCar::loaded()
{
    m_statusBar.clearMessage();
    m_changedBar.hide();
    m_carChanged();
    const CarEntry* car = m_editor.carTable().entry(m_controls.carList.listIndex());
    m_watcher.watch(car && m_editor.carLoaded() ? carScriptPath(car->folder) : std::filesystem::path());
}

void LoadedCar::reload()
{
    load();
    if (m_editor.carLoaded())
        m_statusBar.showMessage(QStringLiteral("Reloaded ") + carName());
}

// Unedited controls follow the script; edited ones are the user's work,
// which a bar above them tells about without taking it away.
void LoadedCar::noticeChange()
{
    const std::optional<ScriptStamp> loaded = m_editor.loadedStamp();
    if (!loaded)
        return;
    const std::optional<ScriptStamp> onDisk = m_editor.stampOnDisk();
    if (onDisk && onDisk->sameBytes(*loaded))
        return;
    if (onDisk && !m_editor.editedSinceLoad()) {
        reload();
        return;
    }
    m_changedBar.showFor(carName());
    m_carChanged();
}

void LoadedCar::unlessChangedOnDisk(QWidget* asker, std::function<void()> proceed)
{
    const std::optional<ScriptStamp> loaded = m_editor.loadedStamp();
    const std::optional<ScriptStamp> onDisk = m_editor.stampOnDisk();
    if (!loaded || (onDisk && onDisk->sameBytes(*loaded))) {
        proceed();
        return;
    }
    ConflictQuestion::ask(carName(), asker, [this, proceed = std::move(proceed)](ConflictQuestion::Answer answer) {
        if (answer == ConflictQuestion::Answer::Reload)
            reload();
        else if (answer == ConflictQuestion::Answer::GoAhead)
            proceed();
    });
}

} // namespace quendral
