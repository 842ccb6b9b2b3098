#pragma once

#include "editor/EditorSession.h"
#include "controls/EditingControls.h"
#include "windows/MessageBoxPresenter.h"
#include "windows/TwipsLayout.h"

#include <QPointer>
#include <QRect>
#include <QWidget>

#include <array>
#include <filesystem>
#include <functional>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QSlider;
class QStatusBar;
class QTreeWidgetItem;

namespace quendral {

class ChangedOnDiskBar;
class HelpWindow;
class FolderTree;
class LoadedCar;

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
    const EditorSession& editor() const { return m_editor; }

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
    struct Placement
    {
        QWidget* widget;
        QRect twips;
        bool sizesToContents;
    };

    template <typename Widget, typename... Arguments>
    Widget* add(QWidget* container, const char* name, Arguments&&... arguments);
    QLabel* addLabel(QWidget* container, const char* name);

    void createControls();
    void createMenus();
    QMenu* addMenu(const char* name);
    QAction* addAction(QMenu* menu, const char* name);
    void setTabOrder();
    double scaleToFitCaptions() const;
    void applyLayout();
    void showStartFolder();

    // Events the window handles.
    void pickDrive(int index);
    void openFolderItem(QTreeWidgetItem* item);
    void pickCar(int row);
    void clickCar(QListWidgetItem* item);
    void save();
    void chooseFolder();
    void showHelp();
    void showAbout();
    void previewChanges();
    void showHistory();
    void updateCarActions();
    void rescan();
    void showSliderValue(QSlider* slider, int value);

    // The model shown in the widgets.
    void showDrives();
    void showFolder();
    void followFolder();
    void showCars();
    void showSelectedCar();
    void showEngineChecks();
    void showDriveSystem();
    void showSliders();
    void showWheelSizes();

    MessageBoxPresenter m_messageBoxes;
    MessagePresenter& m_messages;
    EditingControls m_controls;
    EditorSession m_editor;
    TwipsLayout m_twips;
    std::vector<Placement> m_placements;
    QPointer<HelpWindow> m_help;
    bool m_initialized = false;
    int m_rowBeforePress = -1;

    QListWidget* m_carList = nullptr;
    QComboBox* m_driveChooser = nullptr;
    FolderTree* m_folderTree = nullptr;
    QListWidget* m_fileList = nullptr;
    QGroupBox* m_editingFrame = nullptr;
    QLineEdit* m_smallestWheel = nullptr;
    QLineEdit* m_largestWheel = nullptr;
    QPushButton* m_saveButton = nullptr;
    QSlider* m_frontHeight = nullptr;
    QSlider* m_rearHeight = nullptr;
    std::array<QRadioButton*, 3> m_driveButtons{};
    std::array<QCheckBox*, 4> m_engineChecks{};
    QLabel* m_logo = nullptr;
    QMenuBar* m_menuBar = nullptr;
    QMenu* m_carMenu = nullptr;
    QMenu* m_carContextMenu = nullptr;
    QAction* m_previewAction = nullptr;
    QAction* m_historyAction = nullptr;
    ChangedOnDiskBar* m_changedBar = nullptr;
    QStatusBar* m_statusBar = nullptr;
    LoadedCar* m_loadedCar = nullptr;
};

} // namespace quendral
