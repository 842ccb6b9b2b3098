#pragma once

#include <QObject>
#include <QPointer>

class QAction;
class QListWidget;
class QMenu;
class QMenuBar;
class QStatusBar;
class QWidget;

namespace quendral {

class EditorSession;
class ControlsBinding;
class EditingControls;
class HelpWindow;
class LoadedCar;

// The main window's menu bar, the car list's menu with the same car
// actions, and the dialogs they open.
class MainMenus : public QObject
{
public:
    MainMenus(QWidget* window, EditorSession& editor, EditingControls& controls, LoadedCar& loadedCar,
              ControlsBinding& binding, QStatusBar& statusBar, QListWidget* carList);

    QMenuBar* menuBar() const { return m_menuBar; }

    // The help window while it is open; nullptr before the first show and
    // once the user has closed it.
    HelpWindow* helpWindow() const;
    // The help window over the middle of the screen, as at start-up.
    void openHelp();

    // The car actions offered for the car picked, or for none.
    void updateCarActions();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMenu* addMenu(const char* name);
    QAction* addAction(QMenu* menu, const char* name);

    void chooseFolder();
    void rescan();
    void showHelp();
    void showAbout();
    void previewChanges();
    void showHistory();

    QWidget* m_window;
    EditorSession& m_editor;
    EditingControls& m_controls;
    LoadedCar& m_loadedCar;
    ControlsBinding& m_binding;
    QStatusBar& m_statusBar;
    QListWidget* m_carList;
    QMenuBar* m_menuBar = nullptr;
    QMenu* m_carMenu = nullptr;
    QMenu* m_carContextMenu = nullptr;
    QAction* m_previewAction = nullptr;
    QAction* m_historyAction = nullptr;
    // Made at the first show, and again by Help once the user has closed it.
    QPointer<HelpWindow> m_help;
};

} // namespace quendral
