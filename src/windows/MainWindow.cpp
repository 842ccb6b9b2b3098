#include "windows/MainWindow.h"

#include "carscript/FileSystem.h"
#include "controls/FormLayout.h"
#include "windows/ChangedOnDiskBar.h"
#include "windows/ControlsBinding.h"
#include "windows/DriveList.h"
#include "windows/FolderTree.h"
#include "windows/HelpWindow.h"
#include "windows/LoadedCar.h"
#include "windows/MainMenus.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>

namespace quendral {

MainWindow::MainWindow(MessagePresenter* messages, QWidget* parent)
    : QWidget(parent),
      m_messageBoxes(this),
      m_messages(messages ? *messages : m_messageBoxes),
      m_controls(m_messages),
      m_editor(m_controls, m_messages, FileSystem::real()),
      m_form(this)
{
    m_changedBar = new ChangedOnDiskBar([this] { m_loadedCar->reload(); }, this);
    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("statusBar"));
    m_statusBar->setSizeGripEnabled(false);
    m_loadedCar = new LoadedCar(m_editor, m_controls, *m_changedBar, *m_statusBar, this, [this] {
        m_menus->updateCarActions();
        applyLayout();
    });
    m_binding = new ControlsBinding(m_controls, m_form, *m_statusBar, [this] { m_menus->updateCarActions(); }, this);
    m_menus = new MainMenus(this, m_editor, m_controls, *m_loadedCar, *m_binding, *m_statusBar, m_form.carList);
    m_form.setTabOrder();
    m_twips = TwipsLayout(m_form.scaleToFitCaptions());
    applyLayout();
    showStartFolder();
    m_binding->showDriveSystem();

    // The user's events, into the model and the editor; the binding takes
    // the edits.
    connect(m_form.driveChooser, &QComboBox::activated, this, &MainWindow::pickDrive);
    connect(m_form.folderTree, &QTreeWidget::itemActivated, this, &MainWindow::openFolderItem);
    connect(m_form.carList, &QListWidget::currentRowChanged, this, &MainWindow::pickCar);
    connect(m_form.carList, &QListWidget::itemClicked, this, &MainWindow::clickCar);
    connect(m_form.saveButton, &QPushButton::clicked, this, &MainWindow::save);
    m_form.carList->viewport()->installEventFilter(this);

    m_binding->follow();
}

MainWindow::~MainWindow()
{
    // The model goes before the widgets; nothing a dying widget signals may
    // reach it.
    const QObject* const receivers[] = {this, m_binding, m_menus};
    for (QObject* child : findChildren<QObject*>()) {
        for (const QObject* receiver : receivers)
            child->disconnect(receiver);
    }
}

HelpWindow* MainWindow::helpWindow() const
{
    return m_menus->helpWindow();
}

void MainWindow::applyLayout()
{
    const int top = clientTop();
    m_form.applyLayout(m_twips, top);
    resize(m_twips.size(FormLayout::FormSize.width, FormLayout::FormSize.height) +
           QSize(0, top + m_statusBar->sizeHint().height()));
}

static int menuHeight(const QMenuBar* menuBar)
{
    return menuBar->isNativeMenuBar() ? 0 : menuBar->sizeHint().height();
}

int MainWindow::clientTop() const
{
    return menuHeight(m_menus->menuBar())
        + (m_changedBar && !m_changedBar->isHidden() ? m_changedBar->sizeHint().height() : 0);
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    const int top = menuHeight(m_menus->menuBar());
    m_menus->menuBar()->setGeometry(0, 0, width(), top);
    if (m_changedBar)
        m_changedBar->setGeometry(0, top, width(), m_changedBar->sizeHint().height());
    if (m_statusBar) {
        const int statusHeight = m_statusBar->sizeHint().height();
        m_statusBar->setGeometry(0, height() - statusHeight, width(), statusHeight);
    }
    QWidget::resizeEvent(event);
}

void MainWindow::showStartFolder()
{
    m_editor.showStartFolder(&DriveList::driveOf, &DriveList::drives);
    m_binding->showDrives();
    m_binding->showFolder();
}

bool MainWindow::startIn(const std::filesystem::path& folder)
{
    return m_editor.startIn(folder);
}

void MainWindow::showEvent(QShowEvent* event)
{
    if (!m_initialized) {
        m_initialized = true;
        // The help window comes first, over the middle of the screen, and the
        // main window follows under it.
        m_menus->openHelp();
        if (const QScreen* screen = this->screen())
            move(screen->availableGeometry().center() - rect().center());
    }
    QWidget::showEvent(event);
}

void MainWindow::changeEvent(QEvent* event)
{
    // While the help window is open it keeps the focus; once closed it is
    // gone and the main window works as usual.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        HelpWindow* help = m_menus->helpWindow();
        if (help && help->isVisible())
            help->activateWindow();
    }
    QWidget::changeEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Closing the main window ends the program at once, without a question;
    // unsaved edits are lost.
    event->accept();
    if (HelpWindow* help = m_menus->helpWindow())
        help->close();
    QCoreApplication::exit(0);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // A click on the car already selected changes no selection, yet picks
    // the car again: remember what was selected before the press.
    if (watched == m_form.carList->viewport() && event->type() == QEvent::MouseButtonPress)
        m_rowBeforePress = m_form.carList->currentRow();
    return QWidget::eventFilter(watched, event);
}

void MainWindow::pickDrive(int index)
{
    const auto& drives = m_controls.driveChooser.drives();
    if (index < 0 || index >= static_cast<int>(drives.size()))
        return;
    // A copy: the folder change renews the list of drives. A drive that
    // cannot be read has been reported; the chooser goes back.
    const std::filesystem::path drive = drives[static_cast<std::size_t>(index)];
    if (!m_editor.pickDrive(drive))
        m_binding->showDrives();
}

void MainWindow::openFolderItem(QTreeWidgetItem* item)
{
    const std::filesystem::path folder = FolderTree::folderOf(item);
    if (folder.empty() || folder == m_controls.folderChooser.path())
        return;
    if (!m_editor.openFolder(folder))
        m_binding->showFolder();
}

void MainWindow::pickCar(int row)
{
    if (row < 0)
        return;
    m_controls.carList.setListIndex(row);
    m_loadedCar->load();
}

void MainWindow::clickCar(QListWidgetItem* item)
{
    const int row = m_form.carList->row(item);
    if (row < 0 || row != m_rowBeforePress)
        return;
    m_controls.carList.setListIndex(row);
    m_loadedCar->load();
}

void MainWindow::save()
{
    m_loadedCar->save();
}

} // namespace quendral
