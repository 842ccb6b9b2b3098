#include "windows/MainMenus.h"

#include "ProgramInfo.h"
#include "carscript/CarFiles.h"
#include "controls/EditingControls.h"
#include "controls/FormLayout.h"
#include "editor/EditorSession.h"
#include "windows/ControlsBinding.h"
#include "windows/DialogFocus.h"
#include "windows/DiffDialog.h"
#include "windows/HelpWindow.h"
#include "windows/HistoryDialog.h"
#include "windows/LoadedCar.h"
#include "windows/ShownText.h"

#include <QAction>
#include <QFileDialog>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QStatusBar>

#include <algorithm>

namespace quendral {

MainMenus::MainMenus(QWidget* window, EditorSession& editor, EditingControls& controls, LoadedCar& loadedCar,
                     ControlsBinding& binding, QStatusBar& statusBar, QListWidget* carList)
    : QObject(window), m_window(window), m_editor(editor), m_controls(controls), m_loadedCar(loadedCar),
      m_binding(binding), m_statusBar(statusBar), m_carList(carList)
{
    m_menuBar = new QMenuBar(m_window);
    m_menuBar->setObjectName(QStringLiteral("menuBar"));

    QMenu* file = addMenu("fileMenu");
    connect(addAction(file, "openFolderAction"), &QAction::triggered, this, &MainMenus::chooseFolder);
    connect(addAction(file, "saveAction"), &QAction::triggered, this, [this] { m_loadedCar.save(); });
    connect(addAction(file, "rescanAction"), &QAction::triggered, this, &MainMenus::rescan);
    file->addSeparator();
    connect(addAction(file, "quitAction"), &QAction::triggered, m_window, &QWidget::close);

    m_carMenu = addMenu("carMenu");
    QAction* preview = addAction(m_carMenu, "previewAction");
    QAction* history = addAction(m_carMenu, "historyAction");
    m_previewAction = preview;
    m_historyAction = history;
    connect(preview, &QAction::triggered, this, &MainMenus::previewChanges);
    connect(history, &QAction::triggered, this, &MainMenus::showHistory);

    QMenu* help = addMenu("helpMenu");
    connect(addAction(help, "helpAction"), &QAction::triggered, this, &MainMenus::showHelp);
    connect(addAction(help, "aboutAction"), &QAction::triggered, this, &MainMenus::showAbout);

    // The same car actions on the car list.
    m_carContextMenu = new QMenu(m_window);
    m_carContextMenu->setObjectName(QStringLiteral("carContextMenu"));
    m_carContextMenu->addActions({preview, history});
    m_carList->setContextMenuPolicy(Qt::CustomContextMenu);
    updateCarActions();

    connect(m_carList, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_carContextMenu->popup(m_carList->viewport()->mapToGlobal(at)); });
    m_carList->installEventFilter(this);
}

HelpWindow* MainMenus::helpWindow() const
{
    return m_help;
}

void MainMenus::openHelp()
{
    m_help = new HelpWindow(m_window);
    m_help->centreOnScreen();
    m_help->show();
}

QMenu* MainMenus::addMenu(const char* name)
{
    QMenu* menu = m_menuBar->addMenu(QString::fromUtf8(FormLayout::menuItem(name).caption));
    menu->setObjectName(QLatin1String(name));
    return menu;
}

QAction* MainMenus::addAction(QMenu* menu, const char* name)
{
    const FormLayout::MenuItem& item = FormLayout::menuItem(name);
    QAction* action = menu->addAction(QString::fromUtf8(item.caption));
    action->setObjectName(QLatin1String(name));
    // Qt's keys of letters and of F1 onwards are the letters' codes and a run.
    if (item.ctrlKey)
        action->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(item.ctrlKey)));
    else if (item.functionKey)
        action->setShortcut(QKeySequence(static_cast<Qt::Key>(Qt::Key_F1 + item.functionKey - 1)));
    // Also the window's own, so that the shortcut works wherever the focus is.
    m_window->addAction(action);
    return action;
}

bool MainMenus::eventFilter(QObject* watched, QEvent* event)
{
    // Shift+F10 and the Menu key open the car list's menu at its current car.
    if (watched == m_carList && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Menu || (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier)) {
            const QRect item = m_carList->visualItemRect(m_carList->currentItem());
            const QPoint at = item.isValid() ? item.center() : QPoint(4, 4);
            m_carContextMenu->popup(m_carList->viewport()->mapToGlobal(at));
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

// As though the folder had been picked in the folder chooser.
void MainMenus::chooseFolder()
{
    auto* dialog = new QFileDialog(m_window, QStringLiteral("Open racers folder"),
                                   shownPath(m_controls.folderChooser.path()));
    dialog->setObjectName(QStringLiteral("openFolderDialog"));
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& folder) {
        if (!m_editor.openFolder(pathOf(folder)))
            m_binding.showFolder();
    });
    DialogFocus::open(dialog);
}

void MainMenus::showHelp()
{
    if (!m_help) {
        m_help = new HelpWindow(m_window);
        m_help->centreOnScreen();
    }
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

void MainMenus::showAbout()
{
    auto* box = new QMessageBox(m_window);
    box->setObjectName(QStringLiteral("aboutBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowTitle(QStringLiteral("About ") + QString::fromUtf8(program::Name));
    box->setIconPixmap(QPixmap(QStringLiteral(":/quendral/logo.gif")).scaledToWidth(150, Qt::SmoothTransformation));
    box->setText(QString::fromUtf8(program::Name) + QLatin1Char(' ') + QString::fromUtf8(program::Version));
    box->setInformativeText(QString::fromUtf8(program::Copyright) + QStringLiteral(".\nReleased under the ")
                            + QString::fromUtf8(program::LicenceName) + QStringLiteral(" licence."));
    box->setDetailedText(QString::fromUtf8(program::LicenceText));
    DialogFocus::open(box);
}

static QString selectedCarName(const EditingControls& controls)
{
    const int index = controls.carList.listIndex();
    return index < 0 ? QString() : shownText(controls.carList.items()[static_cast<std::size_t>(index)]);
}

void MainMenus::previewChanges()
{
    m_loadedCar.unlessChangedOnDisk(m_window, [this] {
        Comparison sides;
        std::array<std::string, 2> bytes;
        if (!m_editor.readCompared(VersionName{}, VersionName{VersionName::Kind::Saved, 0}, sides, bytes))
            return;
        DiffDialog::open("previewDialog", QStringLiteral("Preview changes to ") + selectedCarName(m_controls),
                         "Preview changes", sides, std::move(bytes), m_window);
    });
}

void MainMenus::showHistory()
{
    const auto restored = [this] {
        // What the restored script does not give must not linger from the
        // script it replaced.
        m_controls.driveSystem.setValue(std::max(m_controls.driveSystem.selected(), 0), false);
        m_controls.frontHeight.setValue(0);
        m_controls.rearHeight.setValue(0);
        m_controls.smallestWheel.setText({});
        m_controls.largestWheel.setText({});
        m_loadedCar.load();
        m_statusBar.showMessage(QStringLiteral("Restored ") + m_loadedCar.carName());
    };
    const auto beforeRestore = [this](QWidget* asker, std::function<void()> proceed) {
        m_loadedCar.unlessChangedOnDisk(asker, std::move(proceed));
    };
    auto* dialog = new HistoryDialog(m_editor, selectedCarName(m_controls), restored, beforeRestore, m_window);
    if (!dialog->refresh()) {
        delete dialog;
        return;
    }
    DialogFocus::open(dialog);
}

// History is for a car whose script cannot be read or is gone too: that is
// when its earlier versions are needed most.
void MainMenus::updateCarActions()
{
    const bool loaded = m_editor.carLoaded();
    const CarEntry* car = m_editor.carTable().entry(m_controls.carList.listIndex());
    std::error_code ignored;
    const bool versions = loaded
        || (car
            && (std::filesystem::exists(historyFolderPath(car->folder), ignored)
                || std::filesystem::exists(backupScriptPath(car->folder), ignored)));
    m_carMenu->setEnabled(versions);
    m_previewAction->setEnabled(loaded);
    m_historyAction->setEnabled(versions);
}

// Cars added or removed on disk appear; the car picked stays picked.
void MainMenus::rescan()
{
    std::optional<int> found;
    if (!m_editor.rescan(m_loadedCar.carName().toStdString(), found))
        return;
    if (found) {
        m_controls.carList.setListIndex(*found);
        m_loadedCar.load();
    }
    m_statusBar.showMessage(QStringLiteral("Rescanned: %1 cars").arg(m_controls.carList.items().size()));
}

} // namespace quendral
