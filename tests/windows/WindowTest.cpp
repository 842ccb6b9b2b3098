// The windows driven through their real widgets, headless.

#include "ProgramInfo.h"
#include "KeyTable.h"
#include "Support.h"
#include "windows/ChangedOnDiskBar.h"
#include "windows/DiffDialog.h"
#include "windows/DriveList.h"
#include "windows/FolderTree.h"
#include "windows/HelpWindow.h"
#include "windows/MainWindow.h"
#include "windows/MessageBoxPresenter.h"
#include "windows/TwipsLayout.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QTextBlock>
#include <QTreeWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <map>

namespace quendral::test {
namespace {

const ShownMessage MaxSize{"Max size", "Maximal wheelsize is 21 inch!!!!"};

// A main window over a copy of the demo racers folder (falcon_gt drives the
// front, mistral the rear, vortex_r all wheels), its messages recorded.
class Window : public testing::Test
{
protected:
    Window()
    {
        std::filesystem::create_directories(racers().parent_path());
        std::filesystem::copy(QUENDRAL_EXAMPLES_DIR, racers(), std::filesystem::copy_options::recursive);
    }

    template <typename Widget = QWidget>
    Widget* control(const char* name, QWidget* window = nullptr) const
    {
        window = window ? window : form.get();
        for (Widget* widget : window->findChildren<Widget*>(QLatin1String(name)))
            if (widget->window() == window)
                return widget;
        ADD_FAILURE() << "no control " << name;
        return nullptr;
    }

    std::filesystem::path racers() const { return temp.path() / "cars" / "racers"; }
    bool saved(const char* car) const { return std::filesystem::exists(racers() / car / "scripts/_main_backup.cfg"); }

    void activate()
    {
        form->show();
        form->helpWindow()->close();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    void openFolder(const std::filesystem::path& folder)  // a double click in Dir1
    {
        auto* tree = control<FolderTree>("Dir1");
        ASSERT_TRUE(tree->itemOf(folder)) << folder;
        const QPoint centre = tree->visualItemRect(tree->itemOf(folder)).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, centre);
    }
    void openRacers()
    {
        ASSERT_TRUE(form->startIn(racers().parent_path()));
        openFolder(racers());
    }
    void clickCar(int row, Qt::KeyboardModifiers modifiers = {})
    {
        auto* list = control<QListWidget>("lstcars");
        const QPoint centre = list->visualItemRect(list->item(row)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, centre);
    }
    void click(const char* name) { QTest::mouseClick(control(name), Qt::LeftButton, {}, QPoint(6, 6)); }
    std::vector<std::string> cars() const { return form->controls().carList.items(); }

    // "car I4V6V8V10 FrontRearAll front rear min max" as the window shows them; the car chosen (-1: none)
    // is the one highlighted and current in the list.
    std::string shown() const
    {
        auto* list = control<QListWidget>("lstcars");
        const int car = form->controls().carList.listIndex();
        EXPECT_EQ(list->currentRow(), car);
        EXPECT_EQ(list->selectedItems(), car < 0 ? QList<QListWidgetItem*>{} : QList{list->item(car)});
        std::string text = std::to_string(car) + ' ';
        for (const char* name : {"Check1", "Check2", "Check3", "Check4", "", "Option1", "Option2", "Option3"})
            text += !*name ? " " : control<QAbstractButton>(name)->isChecked() ? "1" : "0";
        for (const char* name : {"Slider1", "Slider2"})
            text += ' ' + std::to_string(control<QSlider>(name)->value());
        for (const char* name : {"txtminw", "txtmaxw"})
            text += ' ' + control<QLineEdit>(name)->text().toStdString();
        return text;
    }

    // The bar telling of a change on disk while it shows, else the status bar.
    std::string notice() const
    {
        auto* bar = form->findChild<ChangedOnDiskBar*>("changedOnDiskBar");
        return (bar->isHidden() ? form->findChild<QStatusBar*>("statusBar")->currentMessage() : bar->text()).toStdString();
    }

    // Another program's save of falcon_gt, with V10 ticked, as the tool makes it.
    void saveElsewhere()
    {
        ASSERT_TRUE(saveWithV10Ticked(racers() / "falcon_gt"));
    }

    TemporaryFolder temp;
    RecordingMessages messages;
    std::unique_ptr<MainWindow> form = std::make_unique<MainWindow>(&messages);
};

// The window, name, Qt class, container, caption (nullptr: none to compare), place in twips and, when
// the font is set, the size of Arial.
struct ControlRow
{
    const char *window, *name, *kind, *container, *caption;
    QRect twips;
    double points = 0;
};

// Every control of both windows as drawn up, the main window's in focus order.
const ControlRow Controls[] = {
    {"Form1", "Frame1", "QGroupBox", "Form1", "Cars", {360, 120, 1695, 2535}},
    {"Form1", "lstcars", "QListWidget", "Frame1", nullptr, {120, 240, 1455, 2205}},
    {"Form1", "Frame2", "QGroupBox", "Form1", "Quendral location", {2160, 120, 2295, 2535}},
    {"Form1", "Drive1", "QComboBox", "Frame2", nullptr, {120, 240, 2055, 315}},
    {"Form1", "Dir1", "quendral::FolderTree", "Frame2", nullptr, {120, 720, 2055, 1665}},
    {"Form1", "File1", "QListWidget", "Form1", nullptr, {4200, 2280, 135, 285}},
    {"Form1", "Frame3", "QGroupBox", "Form1", "", {360, 2760, 4095, 2295}},
    {"Form1", "Frame4", "QGroupBox", "Frame3", "Wheels:", {120, 120, 2175, 615}},
    {"Form1", "Label1", "QLabel", "Frame4", "Min.:", {120, 240, 345, 195}},
    {"Form1", "Label2", "QLabel", "Frame4", "Max.:", {1080, 240, 390, 195}},
    {"Form1", "txtminw", "QLineEdit", "Frame4", "", {480, 240, 495, 285}},
    {"Form1", "txtmaxw", "QLineEdit", "Frame4", "", {1560, 240, 495, 285}},
    {"Form1", "cmdSave", "QPushButton", "Form1", "&Save file", {1560, 5160, 1575, 255}},
    {"Form1", "Frame5", "QGroupBox", "Frame3", "Vehicel height", {120, 840, 2175, 1335}},
    {"Form1", "Label3", "QLabel", "Frame5", "Front:", {120, 240, 405, 195}},
    {"Form1", "Label4", "QLabel", "Frame5", "Back:", {120, 720, 420, 195}},
    {"Form1", "Slider1", "QSlider", "Frame5", nullptr, {720, 240, 1335, 255}},
    {"Form1", "Slider2", "QSlider", "Frame5", nullptr, {720, 720, 1335, 255}},
    {"Form1", "Frame6", "QGroupBox", "Frame3", "Drive system", {2400, 120, 1575, 1095}},
    {"Form1", "Option1", "QRadioButton", "Frame6", "Front", {120, 240, 1335, 255}},
    {"Form1", "Option2", "QRadioButton", "Frame6", "Rear", {120, 480, 1335, 255}},
    {"Form1", "Option3", "QRadioButton", "Frame6", "All", {120, 720, 1335, 255}},
    {"Form1", "Label5", "QLabel", "Form1", nullptr, {120, 5520, 4695, 195}},
    {"Form1", "Frame7", "QGroupBox", "Frame3", "V's", {2400, 1200, 1575, 975}},
    {"Form1", "Check1", "QCheckBox", "Frame7", "I4", {120, 240, 495, 195}},
    {"Form1", "Check2", "QCheckBox", "Frame7", "V6", {120, 480, 615, 255}},
    {"Form1", "Check3", "QCheckBox", "Frame7", "V8", {720, 240, 615, 255}},
    {"Form1", "Check4", "QCheckBox", "Frame7", "V10", {720, 480, 735, 255}},
    {"Form1", "Picture1", "QLabel", "Form1", nullptr, {240, 5880, 4560, 1290}},
    {"Form2", "Label1", "QLabel", "Form2", "Quendral     Car Editor", {720, 240, 6015, 2055}, 48},
    {"Form2", "Frame1", "QGroupBox", "Form2", "How it works????", {600, 2640, 6255, 1815}, 12},
    {"Form2", "Label2", "QLabel", "Frame1", "Just point it to the directory where the car files are in. (Def. "
     "..\\cars\\racers). Select a car and change the specs!!!", {120, 360, 6015, 495}, 9.75},
    {"Form2", "Label3", "QLabel", "Frame1", "Drive safely and have FUNNNNNNNNN", {120, 1320, 6015, 375}, 9.75},
    {"Form2", "Frame2", "QGroupBox", "Form2", "Member of", {600, 4800, 6255, 1335}, 9.75},
    {"Form2", "Picture1", "QLabel", "Frame2", nullptr, {840, 240, 4575, 975}},
};

TEST_F(Window, EveryControlStandsWhereItWasDrawnUpWithItsCaptionWhole)
{
    openRacers();
    form->show();
    HelpWindow* help = form->helpWindow();
    EXPECT_EQ(form->windowTitle(), "Quendral Car editor (V1.1b)");
    EXPECT_EQ(help->windowTitle(), form->windowTitle());
    // The client area below the menu bar is laid out as drawn up.
    EXPECT_GT(form->clientTop(), 0);
    EXPECT_EQ(form->size(), TwipsLayout(form->layoutScale()).size(4920, 7275)
                                + QSize(0, form->clientTop() + form->findChild<QStatusBar*>()->sizeHint().height()));
    EXPECT_EQ(help->windowFlags() & (Qt::WindowType_Mask | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
              Qt::Tool | Qt::WindowCloseButtonHint);
    EXPECT_EQ(help->minimumSize(), help->maximumSize());
    EXPECT_EQ(help->size(), TwipsLayout().size(7230, 6330));

    QStringList focusOrder;
    for (const ControlRow& row : Controls) {
        SCOPED_TRACE(std::string(row.window) + "." + row.name);
        const bool main = std::string_view(row.window) == "Form1";
        QWidget* widget = control(row.name, main ? static_cast<QWidget*>(form.get()) : help);
        ASSERT_NE(widget, nullptr);
        EXPECT_STREQ(widget->metaObject()->className(), row.kind);
        EXPECT_EQ(widget->parentWidget()->objectName(), row.container);
        const QString caption = widget->property(qobject_cast<QGroupBox*>(widget) ? "title" : "text").toString();
        EXPECT_TRUE(!row.caption || QString(caption).remove('\n') == row.caption) << caption.toStdString();
        EXPECT_TRUE(!row.points || (widget->font().pointSizeF() == row.points && widget->font().family() == "Arial"));

        // One scale for the main window; the help window's fonts are in points.
        const QRect place = TwipsLayout(main ? form->layoutScale() : 1.0)
                                .rect(row.twips.left(), row.twips.top(), row.twips.width(), row.twips.height());
        const int top = widget->parentWidget() == form.get() ? form->clientTop() : 0;
        EXPECT_EQ(widget->pos() - QPoint(0, top), place.topLeft());
        // The main window's labels fit their text, its logo box the logo.
        const bool label = main && qobject_cast<QLabel*>(widget);
        const bool logo = row.name == std::string_view("Picture1");
        EXPECT_EQ(widget->size(), !label ? place.size() : logo ? QSize(304, 86) : widget->sizeHint());

        const QFontMetrics metrics = widget->fontMetrics();
        const bool mark = qobject_cast<QAbstractButton*>(widget) && !qobject_cast<QPushButton*>(widget);
        int needed = mark ? widget->sizeHint().width() : 0;
        for (const QString& line : QString(caption).remove('&').split('\n'))
            needed = std::max(needed, metrics.horizontalAdvance(line.trimmed()));
        EXPECT_LE(needed, widget->width());
        const bool box = qobject_cast<QLineEdit*>(widget) || qobject_cast<QComboBox*>(widget);
        EXPECT_GE(widget->height(), box ? widget->minimumSizeHint().height() : caption.isEmpty() ? 0 : metrics.height());
        if (main && widget->focusPolicy() != Qt::NoFocus && widget->isVisible())
            focusOrder << widget->objectName();
    }
    QStringList chain{"lstcars"};
    for (QWidget* widget = control("lstcars")->nextInFocusChain(); widget != control("lstcars");
         widget = widget->nextInFocusChain())
        if (widget->focusPolicy() != Qt::NoFocus && widget->isVisible() && !widget->objectName().isEmpty())
            chain << widget->objectName();
    EXPECT_EQ(chain, focusOrder);

    // The title takes two lines as laid out, the instructions too, the path unbroken.
    EXPECT_EQ(control<QLabel>("Label1", help)->text(), "Quendral     \nCar Editor");
    EXPECT_TRUE(control<QLabel>("Label2", help)->text().contains("\n..\\cars\\racers)."));
    const QString face = QFontInfo(control("Label1", help)->font()).family();
    EXPECT_TRUE(face == "Arial" || face == "Liberation Sans") << face.toStdString();
    EXPECT_EQ(control<QLabel>("Picture1")->pixmap().size(), QSize(300, 82));
    EXPECT_TRUE(control<QLabel>("Picture1")->pixmap().toImage().isGrayscale());
}

TEST_F(Window, StartedInAFolderItChoosesNoCarUntilTheUserClicksOne)
{
    makeCar(racers() / "falcon_gt",
            carScript({}, "-0.500", "1.000 1.000 1.000 0.000", "-0.44", "0.000 0.000 1.000 1.000", 16, 22));
    form->show();
    ASSERT_TRUE(form->startIn(racers()));
    activate();
    EXPECT_EQ(QApplication::focusWidget(), control("lstcars"));
    EXPECT_EQ(shown(), "-1 0000 000 0 0  ");
    EXPECT_TRUE(messages.shown.empty());
    click("cmdSave");
    EXPECT_EQ(messages.shown, (std::vector<ShownMessage>{{"Save file", "No car is selected. Pick a car in the "
                                                                       "list first."}}));

    // The script's largest wheel size, above 21, is refused while it is read.
    messages.shown.clear();
    clickCar(0);
    EXPECT_EQ(messages.shown, std::vector<ShownMessage>{MaxSize});
    EXPECT_EQ(shown(), "0 0000 100 10 7 16 21");
    // A click, with Ctrl too, on the chosen car keeps it chosen and reads it afresh.
    click("Check1");
    clickCar(0, Qt::ControlModifier);
    EXPECT_EQ(shown(), "0 0000 100 10 7 16 21");
    EXPECT_FALSE(saved("falcon_gt"));
    QTest::keyClick(form.get(), Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return saved("falcon_gt"); }));
}

// The rows both windows pass, then those of this window alone: History's dialogs, and the script followed
// while the user has changed nothing, or reloaded from the bar above the controls.
const std::vector<KeyRow> KeyRows = [] {
    std::vector<KeyRow> rows = SharedKeyRows;
    rows.insert(rows.end(), {
        {0, "lstcars", {"Alt+S", "Ctrl+H", "Return", "Escape", "Escape"}, "lstcars", "0 1100 100 10 7 15 18", "",
         true},
        {0, "lstcars", {}, "lstcars", "0 1101 100 10 7 15 18", "", true, 0, nullptr, "Reloaded falcon_gt"},
        {0, "Check3", {"Space", "Alt+R"}, "Check3", "0 1101 100 10 7 15 18", "", true, 1, nullptr,
         "Reloaded falcon_gt"},
    });
    return rows;
}();

// A key as the table names it.
QKeyCombination keyOf(std::string_view name)
{
    static const std::map<std::string_view, QKeyCombination> Named = {
        {"Tab", Qt::Key_Tab},        {"Shift+Tab", Qt::ShiftModifier | Qt::Key_Backtab},
        {"Down", Qt::Key_Down},      {"Up", Qt::Key_Up},
        {"Right", Qt::Key_Right},    {"Space", Qt::Key_Space},
        {"Return", Qt::Key_Return},  {"Enter", Qt::KeypadModifier | Qt::Key_Enter},
        {"Escape", Qt::Key_Escape},  {"Ctrl+Space", Qt::ControlModifier | Qt::Key_Space},
    };
    if (const auto named = Named.find(name); named != Named.end())
        return named->second;
    // A letter or digit, with Alt or Ctrl or alone.
    const Qt::KeyboardModifiers modifiers = name.starts_with("Alt+")    ? Qt::AltModifier
                                            : name.starts_with("Ctrl+") ? Qt::ControlModifier
                                                                        : Qt::NoModifier;
    return QKeyCombination(modifiers, static_cast<Qt::Key>(name.back()));
}

struct KeyPresses : Window, testing::WithParamInterface<KeyRow> {};

TEST_P(KeyPresses, MoveTheFocusAndTheChoiceAsOnTheDesktop)
{
    const KeyRow& row = GetParam();
    makeCar(racers() / "zeta",
            carScript({}, "-0.500", "1.000 0.000 1.000 0.000", "-0.44", "0.000 0.000 1.000 1.000", 15, 17));
    writeBytes(racers() / "zeta.rpk", "");
    activate();
    openRacers();
    if (row.car >= 0)
        clickCar(row.car);
    control(row.focus)->setFocus(Qt::TabFocusReason);
    for (std::size_t i = 0; i <= row.keys.size(); ++i) {
        if (static_cast<int>(i) == row.savedMeanwhile) {
            saveElsewhere();
            EXPECT_TRUE(QTest::qWaitFor([&] { return !notice().empty(); }));
        }
        // A mnemonic clicks its button a moment later, which may open a question.
        EXPECT_TRUE(QTest::qWaitFor([] {
            const QWidgetList widgets = QApplication::allWidgets();
            return std::none_of(widgets.begin(), widgets.end(), [](QWidget* widget) {
                auto* button = qobject_cast<QAbstractButton*>(widget);
                return button && button->isDown();
            });
        }));
        // The dialog in front has the keyboard, or the window once none is.
        QWidget* front = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : form.get();
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == front; })) << i;
        if (i < row.keys.size()) {
            const QKeyCombination key = keyOf(row.keys[i]);
            QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
        }
    }
    EXPECT_EQ(QTest::qWaitFor([&] { return saved("falcon_gt"); }, row.saves ? 5000 : 0), row.saves);
    if (row.notice) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return notice() == row.notice && QApplication::activeWindow() == form.get(); }))
            << notice();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), row.focusAfter);
    EXPECT_EQ(shown(), row.shownAfter);
    EXPECT_EQ(messages.captions(), *row.message ? std::vector<std::string>{row.message} : std::vector<std::string>{});
    if (row.saves) {
        clickCar(1);
        clickCar(0);
        EXPECT_EQ(shown(), row.reloaded ? row.reloaded : row.shownAfter);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, KeyPresses, testing::ValuesIn(KeyRows), [](const testing::TestParamInfo<KeyRow>& row) {
    return "row" + std::to_string(row.index) + "_" + row.param.focus;
});

TEST_F(Window, TheEditingFrameOpensOnARacersFolderAndTheChoosersMoveTogether)
{
    form->show();
    EXPECT_TRUE(cars().empty());
    EXPECT_FALSE(control("Frame3")->isEnabled() || control("File1")->isVisible());
    EXPECT_EQ(form->controls().folderChooser.path(), std::filesystem::current_path());
    int scans = 0;
    const ScopedConnection counting = form->controls().folderChooser.changed.connect([&scans] { ++scans; });
    ASSERT_TRUE(form->startIn(racers() / "falcon_gt" / ".." / ""));
    EXPECT_EQ(cars(), (std::vector<std::string>{"falcon_gt", "mistral", "vortex_r"}));
    EXPECT_TRUE(control("Frame3")->isEnabled());
    auto* drive = control<QComboBox>("Drive1");
    EXPECT_EQ(drive->currentText(), DriveList::displayName(DriveList::driveOf(racers())));

    // Drive1 follows every change of folder, whatever it showed before, and Dir1 a drive picked.
    DriveChooser& drives = form->controls().driveChooser;
    const std::filesystem::path root = drives.drives().front();
    for (const std::filesystem::path& folder : {racers() / "mistral", root}) {
        drives.setDrives({root, temp.path()});
        drives.setDrive(temp.path());
        if (folder == root)
            QTest::keyClick(drive, Qt::Key_Home);
        else
            openFolder(folder);
        EXPECT_EQ(form->controls().folderChooser.path(), folder);
        EXPECT_EQ(drive->currentText(), DriveList::displayName(DriveList::driveOf(folder)));
        EXPECT_TRUE(cars().empty());
        EXPECT_FALSE(control("Frame3")->isEnabled());
    }
    EXPECT_EQ(scans, 3);
    EXPECT_TRUE(messages.shown.empty());
}

struct ShowOrder : QObject
{
    QStringList shown;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->isWindowType())
            shown << watched->objectName();
        return false;
    }
};

TEST_F(Window, TheHelpWindowComesFirstAndKeepsTheFocusUntilEscapeClosesIt)
{
    ShowOrder order;
    qApp->installEventFilter(&order);
    form->show();
    qApp->removeEventFilter(&order);
    EXPECT_EQ(order.shown, (QStringList{"Form2Window", "Form1Window"}));
    QPointer<HelpWindow> help = form->helpWindow();
    const QPoint centre = form->screen()->availableGeometry().center();
    EXPECT_LE((help->frameGeometry().center() - centre).manhattanLength(), 5);
    EXPECT_LE((form->geometry().center() - centre).manhattanLength(), 5);

    form->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(help));
    QTest::keyClick(QApplication::activeWindow(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(help.isNull());
    form->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
}

TEST_F(Window, ClosingTheMainWindowEndsTheProgramWithBothWindows)
{
    form->show();
    QTimer::singleShot(0, form.get(), [this] { form->close(); });
    QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); }); // fails rather than hangs
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(form->isVisible() || (form->helpWindow() && form->helpWindow()->isVisible()));
}

// The menus and their dialogs, driven through the keys and buttons a user would use.
TEST_F(Window, TheMenusOpenSaveAndPreviewAndTheHistoryComparesAndRestores)
{
    activate();
    const std::string original = readBytes(racers() / "falcon_gt/scripts/_main_.cfg");
    const auto find = [this](const char* name) { return form->findChild<QObject*>(QLatin1String(name)); };
    auto* carMenu = static_cast<QMenu*>(find("carMenu"));
    const auto key = [this](QKeyCombination combination) {
        EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; }));
        QTest::keyClick(QApplication::focusWidget(), combination.key(), combination.keyboardModifiers());
    };
    const auto dialog = [this](const char* name) { return form->findChild<QDialog*>(QLatin1String(name)); };
    const auto diffText = [&](const char* name) {  // the diff is worked out away from the window
        return QTest::qWaitFor([&] { return dialog(name); }) ? dialog(name)->findChild<QPlainTextEdit*>("diffText") : nullptr;
    };
    const auto colourOf = [](QPlainTextEdit* text, const QString& start) {  // at the right of the line so started
        text->setTextCursor(text->document()->find(start));
        return text->viewport()->grab().toImage().pixelColor(text->viewport()->width() - 3, text->cursorRect().center().y());
    };
    const auto close = [](QWidget* widget) {
        widget->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };

    static_cast<QAction*>(find("openFolderAction"))->trigger();
    auto* folders = static_cast<QFileDialog*>(dialog("openFolderDialog"));
    folders->selectFile(QString::fromStdString(racers().string()));
    static_cast<QDialog*>(folders)->accept();
    EXPECT_EQ(cars(), (std::vector<std::string>{"falcon_gt", "mistral", "vortex_r"}));
    EXPECT_FALSE(carMenu->isEnabled() || static_cast<QAction*>(find("previewAction"))->isEnabled());
    clickCar(0);
    EXPECT_TRUE(carMenu->isEnabled());

    // The preview, cancelled while it works (no dialog opens); then what Save writes, removed lines red
    // and added ones green, in a fixed font; then nothing.
    DiffDialog::setPatience(0);
    key(Qt::ControlModifier | Qt::Key_D);
    DiffDialog::setPatience(250);
    auto* progress = form->findChild<QProgressDialog*>("diffProgress");
    ASSERT_TRUE(progress && progress->isVisible());
    QTest::keyClick(progress, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(form->findChild<QProgressDialog*>("diffProgress"));
    key(Qt::ControlModifier | Qt::Key_D);
    QPlainTextEdit* preview = diffText("previewDialog");
    EXPECT_EQ(form->findChildren<QDialog*>("previewDialog").size(), 1);
    EXPECT_TRUE(QFontInfo(preview->font()).fixedPitch());
    const QColor removed = colourOf(preview, "-ext_camera  95 "), added = colourOf(preview, "+ext_camera  120 ");
    EXPECT_NE(removed, added);
    EXPECT_NE(added, colourOf(preview, "--- "));
    const QString script = QString::fromStdString((racers() / "falcon_gt/scripts/_main_.cfg").string());
    EXPECT_EQ(preview->toPlainText().section('\n', 0, 1),
              "--- " + script + "\tcurrent\n+++ " + script + "\tafter the save");
    close(dialog("previewDialog"));
    key(Qt::ControlModifier | Qt::Key_S);
    key(Qt::ControlModifier | Qt::Key_D);
    EXPECT_EQ(diffText("previewDialog")->toPlainText(), "No changes");
    close(dialog("previewDialog"));
    click("Check3");
    key(Qt::ControlModifier | Qt::Key_S);

    // The history, newest first, an empty future-dated version marked and passed over; compare the
    // original with the script, then restore it.
    writeBytes(racers() / "falcon_gt/scripts/_main_history/_main_.20991231T235959.000Z.cfg", "");
    key(Qt::ControlModifier | Qt::Key_H);
    auto* versions = dialog("historyDialog")->findChild<QTreeWidget*>("versionList");
    ASSERT_EQ(versions->topLevelItemCount(), 4);
    EXPECT_EQ(versions->topLevelItem(1)->text(0), "1 (empty)");
    EXPECT_EQ(versions->currentItem(), versions->topLevelItem(2));
    EXPECT_EQ(versions->topLevelItem(2)->text(0), "2 (backup)");
    EXPECT_EQ(versions->topLevelItem(3)->text(0), "3 (original)");
    EXPECT_TRUE(versions->topLevelItem(0)->text(3).startsWith("engines: I4 V6 V8 · drive: front"));
    versions->setCurrentItem(versions->topLevelItem(1));
    QTest::mouseClick(dialog("historyDialog")->findChild<QPushButton*>("restoreButton"), Qt::LeftButton);
    auto* junk = form->findChild<QMessageBox*>("restoreConfirmation");
    EXPECT_EQ(junk->icon(), QMessageBox::Warning);
    EXPECT_EQ(junk->defaultButton(), junk->button(QMessageBox::No));
    close(junk);
    versions->setCurrentItem(versions->topLevelItem(3));
    QTest::mouseClick(dialog("historyDialog")->findChild<QPushButton*>("compareButton"), Qt::LeftButton);
    EXPECT_TRUE(diffText("compareDialog")->toPlainText().contains("\n+attach    0x000400D0 1    ; v8 blocks\n"));
    QTest::mouseClick(dialog("historyDialog")->findChild<QPushButton*>("restoreButton"), Qt::LeftButton);
    auto* confirmation = form->findChild<QMessageBox*>("restoreConfirmation");
    QTest::mouseClick(confirmation->button(QMessageBox::Yes), Qt::LeftButton);
    EXPECT_EQ(readBytes(racers() / "falcon_gt/scripts/_main_.cfg"), original);
    EXPECT_EQ(shown(), "0 1100 100 10 7 15 18");
    EXPECT_EQ(versions->topLevelItemCount(), 5);
    EXPECT_TRUE(messages.shown.empty());

    // A history removed meanwhile: Compare says so and lists what is left, the backup.
    std::filesystem::remove_all(racers() / "falcon_gt/scripts/_main_history");
    versions->setCurrentItem(versions->topLevelItem(2));
    EXPECT_EQ(versions->currentItem()->text(0), "2 (empty)");
    QTest::mouseClick(dialog("historyDialog")->findChild<QPushButton*>("compareButton"), Qt::LeftButton);
    ASSERT_TRUE(form->findChild<QMessageBox*>("versionGone"));
    close(form->findChild<QMessageBox*>("versionGone"));
    ASSERT_EQ(versions->topLevelItemCount(), 2);
    EXPECT_EQ(versions->topLevelItem(1)->text(0), "backup");
    EXPECT_TRUE(messages.shown.empty());
    close(dialog("historyDialog"));

    // Help shows the help window, About the name, version and licence; the car list offers the car actions.
    key(Qt::Key_F1);
    EXPECT_TRUE(form->helpWindow() && form->helpWindow()->isVisible());
    form->helpWindow()->close();
    static_cast<QAction*>(find("aboutAction"))->trigger();
    auto* about = form->findChild<QMessageBox*>("aboutBox");
    EXPECT_EQ(about->text(), QStringLiteral("%1 %2").arg(program::Name, program::Version));
    EXPECT_TRUE(about->detailedText().contains("Permission is hereby granted"));
    about->close();
    QTest::keyClick(control("lstcars"), Qt::Key_F10, Qt::ShiftModifier);
    auto* contextMenu = static_cast<QMenu*>(find("carContextMenu"));
    EXPECT_TRUE(contextMenu->isVisible());
    EXPECT_EQ(contextMenu->actions(), carMenu->actions());
    contextMenu->close();

    // A script that cannot be read still has its history.
    writeBytes(racers() / "falcon_gt/scripts/_main_.cfg", std::string("\xff\xfe;\0", 4));
    clickCar(1);
    clickCar(0);
    EXPECT_EQ(messages.captions(), std::vector<std::string>{"Read car"});
    EXPECT_TRUE(static_cast<QAction*>(find("historyAction"))->isEnabled());
    EXPECT_FALSE(static_cast<QAction*>(find("previewAction"))->isEnabled());
    // A script that is gone: History restores the backup as the script, and the controls show it.
    std::filesystem::remove(racers() / "falcon_gt/scripts/_main_.cfg");
    clickCar(1), clickCar(0), messages.shown.clear();
    key(Qt::ControlModifier | Qt::Key_H);
    versions = dialog("historyDialog")->findChild<QTreeWidget*>("versionList");
    versions->setCurrentItem(versions->findItems("backup", Qt::MatchStartsWith).value(0));
    QTest::mouseClick(dialog("historyDialog")->findChild<QPushButton*>("restoreButton"), Qt::LeftButton);
    QTest::mouseClick(form->findChild<QMessageBox*>("restoreConfirmation")->button(QMessageBox::Yes), Qt::LeftButton);
    EXPECT_EQ(readBytes(racers() / "falcon_gt/scripts/_main_.cfg"), readBytes(racers() / "falcon_gt/scripts/_main_backup.cfg"));
    EXPECT_EQ(shown(), "0 1110 100 10 7 15 18");
    static_cast<QAction*>(find("quitAction"))->trigger();
    EXPECT_FALSE(form->isVisible());
}

TEST(MessageBoxes, ShowTheWholeTextWithinTheScreenAndCopyItAsWritten)
{
    const std::string name = "falcon_gt_" + std::string(218, 'x');
    const std::pair<std::string, std::string> texts[] = {
        {"Minimum wheelsize is 14 inch!!!! \rThe size has been corrected.",
         "Minimum wheelsize is 14 inch!!!! \nThe size has been corrected."},
        {"The car script of \"" + name + "\" cannot be read: /home/kim/racers/" + name + "/scripts/_main_.cfg: gone.", ""},
    };
    for (const auto& [text, shown] : texts) {
        const auto box = MessageBoxPresenter::makeBox("Read car", text, nullptr);
        box->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(box.get()));
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        EXPECT_EQ(box->buttons().size(), 1);
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        auto* label = box->findChild<QLabel*>("qt_msgbox_label");
        EXPECT_LE(box->frameGeometry().width(), box->screen()->availableGeometry().width());
        EXPECT_LE(label->minimumSizeHint().width(), label->width());
        EXPECT_LE(label->heightForWidth(label->width()), label->height());
        QGuiApplication::clipboard()->setText(box->text());
        EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), shown.empty() ? text : shown);
    }
}

} // namespace
} // namespace quendral::test

int main(int argc, char* argv[])
{
    // Also when CTest lists the tests, without the tests' own environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
