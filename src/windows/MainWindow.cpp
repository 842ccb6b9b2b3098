#include "windows/MainWindow.h"

#include "carscript/FileSystem.h"
#include "controls/FormLayout.h"
#include "ProgramInfo.h"
#include "carscript/CarFiles.h"
#include "windows/CarList.h"
#include "windows/ChangedOnDiskBar.h"
#include "windows/DialogFocus.h"
#include "windows/DiffDialog.h"
#include "windows/DriveList.h"
#include "windows/FolderTree.h"
#include "windows/HelpWindow.h"
#include "windows/HistoryDialog.h"
#include "windows/LoadedCar.h"
#include "windows/ShownText.h"
#include "windows/FrameStyle.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QStatusBar>
#include <QStyle>
#include <QToolTip>
#include <QCursor>

#include <algorithm>

namespace quendral {

namespace {

QString caption(const char* name)
{
    return QString::fromUtf8(FormLayout::control(name).caption);
}

// The logo box is the image with a two-pixel border on every side.
constexpr int PictureBorder = 2;

} // namespace

MainWindow::MainWindow(MessagePresenter* messages, QWidget* parent)
    : QWidget(parent),
      m_messageBoxes(this),
      m_messages(messages ? *messages : m_messageBoxes),
      m_controls(m_messages),
      m_editor(m_controls, m_messages, FileSystem::real())
{
    setObjectName(QStringLiteral("Form1"));
    setStyleSheet(QLatin1String(FrameStyleSheet));
    setWindowTitle(WindowTitle);

    createControls();
    createMenus();
    m_changedBar = new ChangedOnDiskBar([this] { m_loadedCar->reload(); }, this);
    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("statusBar"));
    m_statusBar->setSizeGripEnabled(false);
    m_loadedCar = new LoadedCar(m_editor, m_controls, *m_changedBar, *m_statusBar, this, [this] {
        updateCarActions();
        applyLayout();
    });
    setTabOrder();
    m_twips = TwipsLayout(scaleToFitCaptions());
    applyLayout();
    showStartFolder();
    showDriveSystem();

    // The user's edits and events, into the model and the editor.
    connect(m_driveChooser, &QComboBox::activated, this, &MainWindow::pickDrive);
    connect(m_folderTree, &QTreeWidget::itemActivated, this, &MainWindow::openFolderItem);
    connect(m_carList, &QListWidget::currentRowChanged, this, &MainWindow::pickCar);
    connect(m_carList, &QListWidget::itemClicked, this, &MainWindow::clickCar);
    connect(m_saveButton, &QPushButton::clicked, this, &MainWindow::save);
    connect(m_smallestWheel, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_controls.smallestWheel.setText(textBytes(text)); });
    connect(m_largestWheel, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_controls.largestWheel.setText(textBytes(text)); });
    connect(m_frontHeight, &QSlider::valueChanged, this, [this](int value) { m_controls.frontHeight.setValue(value); });
    connect(m_rearHeight, &QSlider::valueChanged, this, [this](int value) { m_controls.rearHeight.setValue(value); });
    for (std::size_t i = 0; i < m_engineChecks.size(); ++i) {
        connect(m_engineChecks[i], &QCheckBox::clicked, this, [this, i](bool ticked) {
            m_controls.engineChecks()[i]->setValue(ticked ? 1 : 0);
            showEngineChecks();
        });
    }
    for (std::size_t i = 0; i < m_driveButtons.size(); ++i) {
        connect(m_driveButtons[i], &QRadioButton::clicked, this,
                [this, i] { m_controls.driveSystem.setValue(static_cast<int>(i), true); });
    }
    connect(m_carList, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_carContextMenu->popup(m_carList->viewport()->mapToGlobal(at)); });
    m_carList->viewport()->installEventFilter(this);
    m_carList->installEventFilter(this);
    for (QSlider* slider : {m_frontHeight, m_rearHeight})
        connect(slider, &QSlider::valueChanged, this, [this, slider](int value) { showSliderValue(slider, value); });
    for (QRadioButton* option : m_driveButtons)
        option->installEventFilter(this);

    // Changes to the model, whether the user's or the program's, shown. The
    // model's own handlers (the scan, the maximum wheel-size check) were
    // connected first and have run by the time these show the result.
    m_controls.driveChooser.changed.connect([this] { showDrives(); });
    m_controls.folderChooser.changed.connect([this] { showFolder(); });
    m_controls.folderChooser.changed.connect([this] { followFolder(); });
    m_controls.carList.itemsChanged.connect([this] { showCars(); });
    m_controls.carList.selectionChanged.connect([this] { showSelectedCar(); });
    m_controls.carList.itemsChanged.connect([this] { updateCarActions(); });
    m_controls.carList.selectionChanged.connect([this] { updateCarActions(); });
    m_controls.editingFrame.changed.connect([this] { m_editingFrame->setEnabled(m_controls.editingFrame.isEnabled()); });
    for (CheckBox* check : m_controls.engineChecks())
        check->changed.connect([this] { showEngineChecks(); });
    m_controls.driveSystem.changed.connect([this] { showDriveSystem(); });
    m_controls.frontHeight.changed.connect([this] { showSliders(); });
    m_controls.rearHeight.changed.connect([this] { showSliders(); });
    m_controls.smallestWheel.changed.connect([this] { showWheelSizes(); });
    m_controls.largestWheel.changed.connect([this] { showWheelSizes(); });
}

MainWindow::~MainWindow()
{
    // The model goes before the widgets; nothing a dying widget signals may
    // reach it.
    for (QObject* child : findChildren<QObject*>())
        child->disconnect(this);
}

HelpWindow* MainWindow::helpWindow() const
{
    return m_help;
}

template <typename Widget, typename... Arguments>
Widget* MainWindow::add(QWidget* container, const char* name, Arguments&&... arguments)
{
    auto* widget = new Widget(std::forward<Arguments>(arguments)..., container);
    widget->setObjectName(QLatin1String(name));
    const TwipsRect twips = FormLayout::control(name).twips;
    m_placements.push_back({widget, QRect(twips.left, twips.top, twips.width, twips.height), false});
    return widget;
}

QLabel* MainWindow::addLabel(QWidget* container, const char* name)
{
    auto* label = add<QLabel>(container, name, caption(name));
    m_placements.back().sizesToContents = true;
    return label;
}

void MainWindow::createControls()
{
    auto* frame1 = add<QGroupBox>(this, "Frame1", caption("Frame1"));
    m_carList = add<CarList>(frame1, "lstcars");

    auto* frame2 = add<QGroupBox>(this, "Frame2", caption("Frame2"));
    m_driveChooser = add<QComboBox>(frame2, "Drive1");
    m_folderTree = add<FolderTree>(frame2, "Dir1");

    m_fileList = add<QListWidget>(this, "File1");
    m_fileList->hide();

    m_editingFrame = add<QGroupBox>(this, "Frame3");
    m_editingFrame->setEnabled(m_controls.editingFrame.isEnabled());

    auto* frame4 = add<QGroupBox>(m_editingFrame, "Frame4", caption("Frame4"));
    addLabel(frame4, "Label1");
    addLabel(frame4, "Label2");
    m_smallestWheel = add<QLineEdit>(frame4, "txtminw");
    m_largestWheel = add<QLineEdit>(frame4, "txtmaxw");

    m_saveButton = add<QPushButton>(this, "cmdSave", caption("cmdSave"));
    // Return and Enter press the button while it has the focus, as Space does.
    m_saveButton->setAutoDefault(true);

    auto* frame5 = add<QGroupBox>(m_editingFrame, "Frame5", caption("Frame5"));
    addLabel(frame5, "Label3");
    addLabel(frame5, "Label4");
    m_frontHeight = add<QSlider>(frame5, "Slider1", Qt::Horizontal);
    m_rearHeight = add<QSlider>(frame5, "Slider2", Qt::Horizontal);
    for (QSlider* slider : {m_frontHeight, m_rearHeight}) {
        slider->setRange(EditingControls::RideHeightMinimum, EditingControls::RideHeightMaximum);
        slider->setSingleStep(1);
        slider->setPageStep(5);
    }

    auto* frame6 = add<QGroupBox>(m_editingFrame, "Frame6", caption("Frame6"));
    m_driveButtons[0] = add<QRadioButton>(frame6, "Option1", caption("Option1"));
    m_driveButtons[1] = add<QRadioButton>(frame6, "Option2", caption("Option2"));
    m_driveButtons[2] = add<QRadioButton>(frame6, "Option3", caption("Option3"));

    addLabel(this, "Label5");

    auto* frame7 = add<QGroupBox>(m_editingFrame, "Frame7", caption("Frame7"));
    m_engineChecks[0] = add<QCheckBox>(frame7, "Check1", caption("Check1"));
    m_engineChecks[1] = add<QCheckBox>(frame7, "Check2", caption("Check2"));
    m_engineChecks[2] = add<QCheckBox>(frame7, "Check3", caption("Check3"));
    m_engineChecks[3] = add<QCheckBox>(frame7, "Check4", caption("Check4"));

    m_logo = add<QLabel>(this, "Picture1");
    m_logo->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_logo->setLineWidth(PictureBorder);
    m_logo->setPixmap(QPixmap(QStringLiteral(":/quendral/logo.gif")));
    m_logo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

QMenu* MainWindow::addMenu(const char* name)
{
    QMenu* menu = m_menuBar->addMenu(QString::fromUtf8(FormLayout::menuItem(name).caption));
    menu->setObjectName(QLatin1String(name));
    return menu;
}

QAction* MainWindow::addAction(QMenu* menu, const char* name)
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
    QWidget::addAction(action);
    return action;
}

void MainWindow::createMenus()
{
    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(QStringLiteral("menuBar"));

    QMenu* file = addMenu("fileMenu");
    connect(addAction(file, "openFolderAction"), &QAction::triggered, this, &MainWindow::chooseFolder);
    connect(addAction(file, "saveAction"), &QAction::triggered, this, &MainWindow::save);
    connect(addAction(file, "rescanAction"), &QAction::triggered, this, &MainWindow::rescan);
    file->addSeparator();
    connect(addAction(file, "quitAction"), &QAction::triggered, this, &QWidget::close);

    m_carMenu = addMenu("carMenu");
    QAction* preview = addAction(m_carMenu, "previewAction");
    QAction* history = addAction(m_carMenu, "historyAction");
    m_previewAction = preview;
    m_historyAction = history;
    connect(preview, &QAction::triggered, this, &MainWindow::previewChanges);
    connect(history, &QAction::triggered, this, &MainWindow::showHistory);

    QMenu* help = addMenu("helpMenu");
    connect(addAction(help, "helpAction"), &QAction::triggered, this, &MainWindow::showHelp);
    connect(addAction(help, "aboutAction"), &QAction::triggered, this, &MainWindow::showAbout);

    // The same car actions on the car list.
    m_carContextMenu = new QMenu(this);
    m_carContextMenu->setObjectName(QStringLiteral("carContextMenu"));
    m_carContextMenu->addActions({preview, history});
    m_carList->setContextMenuPolicy(Qt::CustomContextMenu);
    updateCarActions();
}

void MainWindow::setTabOrder()
{
    // Labels, frames and the hidden file list take no focus and are not in
    // the order.
    const auto order = FormLayout::tabOrder();
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(findChild<QWidget*>(QLatin1String(order[i - 1]->name)),
                             findChild<QWidget*>(QLatin1String(order[i]->name)));
}

double MainWindow::scaleToFitCaptions() const
{
    const TwipsLayout unscaled;
    std::vector<TwipsLayout::Fit> fits;
    for (const Placement& placement : m_placements) {
        QWidget* widget = placement.widget;
        const QSize room = unscaled.size(placement.twips.width(), placement.twips.height());
        const QFontMetrics metrics = widget->fontMetrics();
        if (placement.sizesToContents) {
            fits.push_back({widget->sizeHint(), room});
        } else if (qobject_cast<QCheckBox*>(widget) || qobject_cast<QRadioButton*>(widget)) {
            // The mark and its caption side by side; the room the style keeps
            // around them for the focus frame may be cut, the caption not.
            const int mark = widget->style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, widget);
            fits.push_back({QSize(widget->sizeHint().width(), std::max(mark, metrics.height())), room});
        } else if (auto* frame = qobject_cast<QGroupBox*>(widget); frame && !frame->title().isEmpty()) {
            // The caption runs along the top edge, above the frame's first
            // row of controls.
            int firstRow = placement.twips.height();
            for (const Placement& inner : m_placements) {
                if (inner.widget->parentWidget() == frame)
                    firstRow = std::min(firstRow, inner.twips.top());
            }
            const QSize caption(metrics.horizontalAdvance(frame->title()) + 2 * metrics.averageCharWidth(),
                                metrics.height());
            fits.push_back({caption, QSize(room.width(), unscaled.pixels(firstRow))});
        } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
            const QSize caption(metrics.horizontalAdvance(button->text().remove(QLatin1Char('&')))
                                    + 2 * metrics.averageCharWidth(),
                                metrics.height() + 4);
            fits.push_back({caption, room});
        } else if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QComboBox*>(widget)) {
            fits.push_back({QSize(0, widget->minimumSizeHint().height()), room});
        }
    }
    return TwipsLayout::scaleToFit(fits);
}

void MainWindow::applyLayout()
{
    for (const Placement& placement : m_placements) {
        const QRect& t = placement.twips;
        QRect place = m_twips.rect(t.left(), t.top(), t.width(), t.height());
        if (placement.sizesToContents)
            place.setSize(placement.widget->sizeHint());
        placement.widget->setGeometry(place);
    }
    // The logo box fits the image, whatever the scale.
    const QPixmap logo = m_logo->pixmap();
    m_logo->resize(logo.size() + QSize(2 * PictureBorder, 2 * PictureBorder));
    // The menu bar goes on top; the controls keep their places below it.
    const int top = clientTop();
    for (const Placement& placement : m_placements)
        if (placement.widget->parentWidget() == this)
            placement.widget->move(placement.widget->pos() + QPoint(0, top));
    resize(m_twips.size(FormLayout::FormSize.width, FormLayout::FormSize.height) +
           QSize(0, top + m_statusBar->sizeHint().height()));
}

static int menuHeight(const QMenuBar* menuBar)
{
    return menuBar->isNativeMenuBar() ? 0 : menuBar->sizeHint().height();
}

int MainWindow::clientTop() const
{
    return menuHeight(m_menuBar) + (m_changedBar && !m_changedBar->isHidden() ? m_changedBar->sizeHint().height() : 0);
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    const int top = menuHeight(m_menuBar);
    m_menuBar->setGeometry(0, 0, width(), top);
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
    // The process's folder, shown without a change: no scan runs at start.
    std::error_code ignored;
    const std::filesystem::path folder = std::filesystem::current_path(ignored);
    const std::filesystem::path drive = DriveList::driveOf(folder);
    m_controls.driveChooser.setDrives(DriveList::drives(drive));
    m_controls.driveChooser.setDrive(drive);
    m_controls.folderChooser.setInitialPath(folder);
    showDrives();
    showFolder();
}

bool MainWindow::startIn(const std::filesystem::path& folder)
{
    std::error_code ignored;
    const std::filesystem::path absolute = std::filesystem::absolute(folder, ignored).lexically_normal();
    return m_editor.openFolder(absolute);
}

void MainWindow::showEvent(QShowEvent* event)
{
    if (!m_initialized) {
        m_initialized = true;
        // The help window comes first, over the middle of the screen, and the
        // main window follows under it.
        m_help = new HelpWindow(this);
        m_help->centreOnScreen();
        m_help->show();
        if (const QScreen* screen = this->screen())
            move(screen->availableGeometry().center() - rect().center());
    }
    QWidget::showEvent(event);
}

void MainWindow::changeEvent(QEvent* event)
{
    // While the help window is open it keeps the focus; once closed it is
    // gone and the main window works as usual.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_help && m_help->isVisible())
        m_help->activateWindow();
    QWidget::changeEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Closing the main window ends the program at once, without a question;
    // unsaved edits are lost.
    event->accept();
    if (m_help)
        m_help->close();
    QCoreApplication::exit(0);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // A click on the car already selected changes no selection, yet picks
    // the car again: remember what was selected before the press.
    if (watched == m_carList->viewport() && event->type() == QEvent::MouseButtonPress)
        m_rowBeforePress = m_carList->currentRow();

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

    const auto option = std::find(m_driveButtons.begin(), m_driveButtons.end(), watched);
    if (option != m_driveButtons.end()) {
        // The arrow keys move the tick through the drive system, round and
        // round, and the focus with it.
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            const int step = key == Qt::Key_Down || key == Qt::Key_Right ? 1
                : key == Qt::Key_Up || key == Qt::Key_Left               ? -1
                                                                         : 0;
            if (step != 0) {
                const auto count = static_cast<int>(m_driveButtons.size());
                const int next = (static_cast<int>(option - m_driveButtons.begin()) + step + count) % count;
                m_driveButtons[static_cast<std::size_t>(next)]->setFocus(Qt::OtherFocusReason);
                m_controls.driveSystem.setValue(next, true);
                return true;
            }
        }
        // Qt hands the Tab stop to whichever button had the focus last; the
        // group keeps it on the ticked one.
        if (event->type() == QEvent::FocusOut)
            showDriveSystem();
    }
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
        showDrives();
}

void MainWindow::openFolderItem(QTreeWidgetItem* item)
{
    const std::filesystem::path folder = FolderTree::folderOf(item);
    if (folder.empty() || folder == m_controls.folderChooser.path())
        return;
    if (!m_editor.openFolder(folder))
        showFolder();
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
    const int row = m_carList->row(item);
    if (row < 0 || row != m_rowBeforePress)
        return;
    m_controls.carList.setListIndex(row);
    m_loadedCar->load();
}

void MainWindow::save()
{
    m_loadedCar->save();
}

// As though the folder had been picked in the folder chooser.
void MainWindow::chooseFolder()
{
    auto* dialog = new QFileDialog(this, QStringLiteral("Open racers folder"),
                                   shownPath(m_controls.folderChooser.path()));
    dialog->setObjectName(QStringLiteral("openFolderDialog"));
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& folder) {
        if (!m_editor.openFolder(pathOf(folder)))
            showFolder();
    });
    DialogFocus::open(dialog);
}

void MainWindow::showHelp()
{
    if (!m_help) {
        m_help = new HelpWindow(this);
        m_help->centreOnScreen();
    }
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

void MainWindow::showAbout()
{
    auto* box = new QMessageBox(this);
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

void MainWindow::previewChanges()
{
    m_loadedCar->unlessChangedOnDisk(this, [this] {
        Comparison sides;
        std::array<std::string, 2> bytes;
        if (!m_editor.readCompared(VersionName{}, VersionName{VersionName::Kind::Saved, 0}, sides, bytes))
            return;
        DiffDialog::open("previewDialog", QStringLiteral("Preview changes to ") + selectedCarName(m_controls), "Preview changes", sides,
                         std::move(bytes), this);
    });
}

void MainWindow::showHistory()
{
    const auto restored = [this] {
        // What the restored script does not give must not linger from the
        // script it replaced.
        m_controls.driveSystem.setValue(std::max(m_controls.driveSystem.selected(), 0), false);
        m_controls.frontHeight.setValue(0);
        m_controls.rearHeight.setValue(0);
        m_controls.smallestWheel.setText({});
        m_controls.largestWheel.setText({});
        m_loadedCar->load();
        m_statusBar->showMessage(QStringLiteral("Restored ") + m_loadedCar->carName());
    };
    const auto beforeRestore = [this](QWidget* asker, std::function<void()> proceed) {
        m_loadedCar->unlessChangedOnDisk(asker, std::move(proceed));
    };
    auto* dialog = new HistoryDialog(m_editor, selectedCarName(m_controls), restored, beforeRestore, this);
    if (!dialog->refresh()) {
        delete dialog;
        return;
    }
    DialogFocus::open(dialog);
}

// History is for a car whose script cannot be read or is gone too: that is
// when its earlier versions are needed most.
void MainWindow::updateCarActions()
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
void MainWindow::rescan()
{
    const std::string picked = m_loadedCar->carName().toStdString();
    const std::filesystem::path folder = m_controls.folderChooser.path();
    if (folder.empty() || !m_editor.openFolder(folder))
        return;
    const auto& items = m_controls.carList.items();
    const auto found = std::find(items.begin(), items.end(), picked);
    if (!picked.empty() && found != items.end()) {
        m_controls.carList.setListIndex(static_cast<int>(found - items.begin()));
        m_loadedCar->load();
    }
    m_statusBar->showMessage(QStringLiteral("Rescanned: %1 cars").arg(items.size()));
}

void MainWindow::showDrives()
{
    const QSignalBlocker quiet(m_driveChooser);
    m_driveChooser->clear();
    const auto& drives = m_controls.driveChooser.drives();
    for (const std::filesystem::path& drive : drives)
        m_driveChooser->addItem(DriveList::displayName(drive));
    const auto current = std::find(drives.begin(), drives.end(), m_controls.driveChooser.drive());
    m_driveChooser->setCurrentIndex(current == drives.end() ? -1 : static_cast<int>(current - drives.begin()));
}

// Whichever way the folder changed, the drive chooser shows its volume; the
// folder has been scanned already.
void MainWindow::followFolder()
{
    const std::filesystem::path drive = DriveList::driveOf(m_controls.folderChooser.path());
    m_controls.driveChooser.setDrives(DriveList::drives(drive));
    m_controls.driveChooser.setDrive(drive);
}

void MainWindow::showFolder()
{
    const QSignalBlocker quiet(m_folderTree);
    m_folderTree->showFolder(m_controls.folderChooser.path());

    m_fileList->clear();
    for (const std::string& name : m_controls.fileList.names())
        m_fileList->addItem(shownName(name));
}

void MainWindow::showCars()
{
    const QSignalBlocker quiet(m_carList);
    m_carList->clear();
    for (const std::string& name : m_controls.carList.items())
        m_carList->addItem(shownName(name));
    m_carList->setCurrentRow(m_controls.carList.listIndex());
}

void MainWindow::showSelectedCar()
{
    const QSignalBlocker quiet(m_carList);
    m_carList->setCurrentRow(m_controls.carList.listIndex());
}

void MainWindow::showEngineChecks()
{
    const auto checks = m_controls.engineChecks();
    for (std::size_t i = 0; i < checks.size(); ++i) {
        const QSignalBlocker quiet(m_engineChecks[i]);
        m_engineChecks[i]->setChecked(checks[i]->isChecked());
    }
}

void MainWindow::showDriveSystem()
{
    // Tab enters the group on the ticked button, on the first when none is;
    // the others are reached with the arrow keys or the mouse.
    const int tabStop = std::max(m_controls.driveSystem.selected(), 0);
    for (std::size_t i = 0; i < m_driveButtons.size(); ++i) {
        QRadioButton* option = m_driveButtons[i];
        const bool chosen = m_controls.driveSystem.value(static_cast<int>(i));
        option->setFocusPolicy(static_cast<int>(i) == tabStop ? Qt::StrongFocus : Qt::ClickFocus);
        const QSignalBlocker quiet(option);
        // An exclusive button cannot be cleared while it is set, yet the
        // model may choose none: the start state, kept by a car whose
        // script drives no axle.
        option->setAutoExclusive(chosen);
        option->setChecked(chosen);
        option->setAutoExclusive(true);
    }
}

// The value beside the pointer while it moves and on hover, and below in the
// status bar; the form keeps its places.
void MainWindow::showSliderValue(QSlider* slider, int value)
{
    const QString text = (slider == m_frontHeight ? QStringLiteral("Front height: %1")
                                                  : QStringLiteral("Back height: %1"))
                             .arg(value);
    slider->setToolTip(text);
    if (slider->isSliderDown())
        QToolTip::showText(QCursor::pos(), text, slider);
    if (slider->hasFocus() || slider->isSliderDown())
        m_statusBar->showMessage(text, 3000);
}

void MainWindow::showSliders()
{
    const QSignalBlocker quiet1(m_frontHeight);
    const QSignalBlocker quiet2(m_rearHeight);
    m_frontHeight->setValue(m_controls.frontHeight.value());
    m_rearHeight->setValue(m_controls.rearHeight.value());
    m_frontHeight->setToolTip(QStringLiteral("Front height: %1").arg(m_frontHeight->value()));
    m_rearHeight->setToolTip(QStringLiteral("Back height: %1").arg(m_rearHeight->value()));
}

void MainWindow::showWheelSizes()
{
    // Rewriting an unchanged box would throw the cursor to its end.
    const std::pair<QLineEdit*, const TextBox*> boxes[] = {{m_smallestWheel, &m_controls.smallestWheel},
                                                          {m_largestWheel, &m_controls.largestWheel}};
    for (const auto& [widget, box] : boxes) {
        if (textBytes(widget->text()) != box->text()) {
            const QSignalBlocker quiet(widget);
            widget->setText(shownText(box->text()));
        }
    }
}

} // namespace quendral
