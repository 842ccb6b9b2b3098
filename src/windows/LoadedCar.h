#pragma once

#include "editor/ScriptStamp.h"
#include "windows/ScriptWatcher.h"

#include <QObject>

#include <functional>

class QStatusBar;
class QWidget;

namespace quendral {

class EditorSession;
class ChangedOnDiskBar;
class EditingControls;

// The car picked in the window, as loaded from its script: it is saved only
// over that script unless the user says otherwise, and followed when the
// script changes on disk. `carChanged` runs whenever the car was loaded
// anew or the bar telling of a change came or went.
class LoadedCar : public QObject
{
public:
    LoadedCar(EditorSession& editor, EditingControls& controls, ChangedOnDiskBar& changedBar, QStatusBar& statusBar,
              QWidget* window, std::function<void()> carChanged);

    void load();
    void reload();
    // The window shows every setting; what the user sees is what is saved.
    void save();
    // Runs `proceed` while the script on disk holds what was loaded; else
    // asks over `asker`, and reloads or runs it as the user answers.
    void unlessChangedOnDisk(QWidget* asker, std::function<void()> proceed);
    QString carName() const;

private:
    void loaded();
    void saveAnyway();
    void tellSaved();
    void noticeChange();

    EditorSession& m_editor;
    EditingControls& m_controls;
    ChangedOnDiskBar& m_changedBar;
    QStatusBar& m_statusBar;
    QWidget* m_window;
    std::function<void()> m_carChanged;
    ScriptWatcher m_watcher;
};

} // namespace quendral
