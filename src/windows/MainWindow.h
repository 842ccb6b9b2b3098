#pragma once

#include "editor/EditorSession.h"
#include "controls/EditingControls.h"
#include "windows/MainWindowForm.h"
#include "windows/MessageBoxPresenter.h"
#include "windows/TwipsLayout.h"

#include <QWidget>

#include <filesystem>

class QListWidgetItem;
class QStatusBar;
class QTreeWidgetItem;

namespace quendral {

class ChangedOnDiskBar;
class ControlsBinding;
class HelpWindow;
class LoadedCar;
class MainMenus;

// The main window: the car list, the drive and folder choosers, the editing
// frame and the Save button, laid out as drawn up in twips below a menu bar.
// It shows the controls model and hands the user's edits and events to it;
// what happens then is the model's and the editor's business.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    // Messages go to `messages` when given, else to modal message boxes.
    explicit MainWindow(MessagePresenter* messages = nullptr, QWidget* parent = nullptr);
    ~MainWindow() override;

    EditingControls& controls() { return m_controls; }

    // The help window while it is open; nullptr before the first show and
    // once the user has closed it.
    HelpWindow* helpWindow() const;

    double layoutScale() const { return m_twips.scale(); }

    // The top of the area below the menu bar (and the bar telling of a change
    // on disk, while it shows), where the controls are laid out as drawn up.
    int clientTop() const;

    // Opens a folder in the folder chooser, as the user would; the racers
    // folder scan runs. The drive chooser moves to the folder's drive.
    bool startIn(const std::filesystem::path& folder);

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyLayout();
    void showStartFolder();

    // Events the window handles.
    void pickDrive(int index);
    void openFolderItem(QTreeWidgetItem* item);
    void pickCar(int row);
    void clickCar(QListWidgetItem* item);
    void save();

    MessageBoxPresenter m_messageBoxes;
    MessagePresenter& m_messages;
    EditingControls m_controls;
    EditorSession m_editor;
    TwipsLayout m_twips;
    MainWindowForm m_form;
    bool m_initialized = false;
    int m_rowBeforePress = -1;

    ChangedOnDiskBar* m_changedBar = nullptr;
    QStatusBar* m_statusBar = nullptr;
    LoadedCar* m_loadedCar = nullptr;
    ControlsBinding* m_binding = nullptr;
    MainMenus* m_menus = nullptr;
};

} // namespace quendral
