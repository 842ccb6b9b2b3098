#include "WindowFixture.h"

#include "windows/DriveList.h"
#include "windows/HelpWindow.h"
#include "windows/MessageBoxPresenter.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QTimer>

namespace quendral::test {
namespace {

const ShownMessage MaxSize{"Max size", "Maximal wheelsize is 21 inch!!!!"};

class Window : public WindowFixture
{
protected:
    // The settings as the widgets show them, "I4 V6 V8 V10 | Front Rear All | front rear | min max";
    // the model must hold the same.
    std::string shown() const
    {
        std::string widgets;
        std::string model;
        const EditingControls& controls = form->controls();
        for (int i = 0; i < 4; ++i) {
            widgets += control<QCheckBox>(("Check" + std::to_string(i + 1)).c_str())->isChecked() ? '1' : '0';
            model += controls.engineChecks()[static_cast<std::size_t>(i)]->isChecked() ? '1' : '0';
        }
        widgets += ' ';
        model += ' ';
        for (int i = 0; i < 3; ++i) {
            widgets += control<QRadioButton>(("Option" + std::to_string(i + 1)).c_str())->isChecked() ? '1' : '0';
            model += controls.driveSystem.value(i) ? '1' : '0';
        }
        widgets += ' ' + std::to_string(control<QSlider>("Slider1")->value()) + ' '
            + std::to_string(control<QSlider>("Slider2")->value()) + ' '
            + control<QLineEdit>("txtminw")->text().toStdString() + ' ' + control<QLineEdit>("txtmaxw")->text().toStdString();
        model += ' ' + std::to_string(controls.frontHeight.value()) + ' ' + std::to_string(controls.rearHeight.value()) + ' '
            + controls.smallestWheel.text() + ' ' + controls.largestWheel.text();
        EXPECT_EQ(widgets, model);
        return widgets;
    }

    // The car chosen, checked to be the one highlighted and current in the list.
    int chosenCar() const
    {
        auto* list = control<QListWidget>("lstcars");
        const int chosen = form->controls().carList.listIndex();
        EXPECT_EQ(list->currentRow(), chosen);
        EXPECT_EQ(list->selectedItems(), chosen < 0 ? QList<QListWidgetItem*>{} : QList{list->item(chosen)});
        return chosen;
    }
};

TEST_F(Window, StartedInAFolderItChoosesNoCarUntilTheUserDoes)
{
    makeCar(racers() / "falcon_gt", carScript({}, "-0.500", "1.000 1.000 1.000 0.000", "-0.44", "0.000 0.000 1.000 1.000", 16, 22));
    showForm();
    ASSERT_TRUE(form->startIn(racers()));
    activateForm();
    EXPECT_EQ(QApplication::focusWidget(), control("lstcars"));
    EXPECT_EQ(cars(), (std::vector<std::string>{"falcon_gt", "mistral", "vortex_r"}));
    EXPECT_EQ(chosenCar(), -1);
    EXPECT_EQ(shown(), "0000 000 0 0  ");
    EXPECT_TRUE(messages.shown.empty());

    click("cmdSave");
    EXPECT_EQ(messages.shown, (std::vector<ShownMessage>{{"Save file", "No car is selected. Pick a car in the list first."}}));
    EXPECT_FALSE(savedOnce("falcon_gt"));

    // The car read holds a largest wheel size above 21.
    messages.shown.clear();
    clickCar(0);
    EXPECT_EQ(messages.shown, std::vector<ShownMessage>{MaxSize});
    EXPECT_EQ(shown(), "0000 100 10 7 16 21");
}

TEST_F(Window, AClickWithOrWithoutCtrlOnTheChosenCarKeepsItAndReadsItAfresh)
{
    activateForm();
    openRacers();
    clickCar(0);
    click("Check1");
    clickCar(0, Qt::ControlModifier);
    EXPECT_EQ(chosenCar(), 0);
    EXPECT_EQ(shown(), "1100 100 10 7 15 18");
    QTest::keyClick(form.get(), Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return savedOnce("falcon_gt"); }));
}

struct KeyRow
{
    int car;  // clicked first; -1: none
    const char* focus;
    std::vector<QKeyCombination> keys;
    const char* focusAfter;
    int carAfter;    // chosen and highlighted
    int driveAfter;  // option ticked; -1: none
    bool saves;
};

// The demo cars and a fourth, zeta, that drives no axle.
const KeyRow KeyRows[] = {
    {-1, "lstcars", {}, "lstcars", -1, -1, false},
    {-1, "lstcars", {Qt::Key_Down}, "lstcars", 0, 0, false},
    {0, "lstcars", {Qt::Key_Down}, "lstcars", 1, 1, false},
    {0, "lstcars", {Qt::Key_V}, "lstcars", 2, 2, false},
    {1, "lstcars", {Qt::ControlModifier | Qt::Key_Space}, "lstcars", 1, 1, false},
    {1, "Slider2", {Qt::Key_Tab}, "Option2", 1, 1, false},
    {1, "Check1", {Qt::ShiftModifier | Qt::Key_Backtab}, "Option2", 1, 1, false},
    {1, "Slider2", {Qt::Key_Tab, Qt::Key_Down}, "Option3", 1, 2, false},
    {2, "Slider2", {Qt::Key_Tab, Qt::Key_Up}, "Option2", 2, 1, false},
    {3, "Slider2", {Qt::Key_Tab, Qt::Key_Tab}, "Check1", 3, -1, false},
    {3, "Slider2", {Qt::Key_Tab, Qt::Key_Down}, "Option2", 3, 1, false},
    {0, "txtminw", {Qt::AltModifier | Qt::Key_S}, "txtminw", 0, 0, true},
    {0, "cmdSave", {Qt::Key_Space}, "cmdSave", 0, 0, true},
    {0, "cmdSave", {Qt::Key_Return}, "cmdSave", 0, 0, true},
    {0, "cmdSave", {Qt::KeypadModifier | Qt::Key_Enter}, "cmdSave", 0, 0, true},
};

class KeyPresses : public Window, public testing::WithParamInterface<KeyRow>
{
};

TEST_P(KeyPresses, MoveTheFocusAndChooseAsOnTheDesktop)
{
    const KeyRow& row = GetParam();
    makeCar(racers() / "zeta", carScript({}, "-0.500", "1.000 0.000 1.000 0.000", "-0.44", "0.000 0.000 1.000 1.000", 15, 17));
    writeBytes(racers() / "zeta.rpk", "");
    activateForm();
    openRacers();
    if (row.car >= 0)
        clickCar(row.car);
    control(row.focus)->setFocus(Qt::TabFocusReason);
    for (const QKeyCombination key : row.keys)
        QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
    if (row.saves)
        EXPECT_TRUE(QTest::qWaitFor([&] { return savedOnce(cars()[static_cast<std::size_t>(row.carAfter)].c_str()); }));
    else
        EXPECT_FALSE(savedOnce("falcon_gt"));
    EXPECT_EQ(QApplication::focusWidget()->objectName(), row.focusAfter);
    EXPECT_EQ(chosenCar(), row.carAfter);
    EXPECT_EQ(form->controls().driveSystem.selected(), row.driveAfter);
    const std::string options = shown().substr(5, 3);
    EXPECT_EQ(options, row.driveAfter < 0 ? "000" : std::string("000").replace(static_cast<std::size_t>(row.driveAfter), 1, "1"));
    EXPECT_TRUE(messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Rows, KeyPresses, testing::ValuesIn(KeyRows));

TEST_F(Window, EditsMadeInTheWindowAreSavedAndReadBack)
{
    activateForm();
    openRacers();
    clickCar(0);
    EXPECT_EQ(shown(), "1100 100 10 7 15 18");
    click("Check2");
    click("Check4");
    click("Option3");
    control("Slider1")->setFocus();
    QTest::keyClick(control("Slider1"), Qt::Key_Right);
    QTest::keyClick(control("Slider2"), Qt::Key_Left);
    type("txtminw", "16");
    type("txtmaxw", "19");
    click("cmdSave");
    clickCar(1);
    clickCar(0);
    EXPECT_EQ(shown(), "1001 001 11 6 16 19");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Window, TheWheelSizeMessagesAppearAndTheBoxesShowTheCorrection)
{
    activateForm();
    openRacers();
    clickCar(0);
    type("txtmaxw", "2");
    EXPECT_TRUE(messages.shown.empty());
    QTest::keyClicks(control("txtmaxw"), "2");
    EXPECT_EQ(messages.shown, std::vector<ShownMessage>{MaxSize});
    type("txtminw", "12");
    click("cmdSave");
    EXPECT_EQ(messages.captions(), (std::vector<std::string>{"Max size", "Min size"}));
    EXPECT_EQ(shown(), "1100 100 10 7 14 21");
}

TEST_F(Window, TheEditingFrameOpensOnARacersFolderAndTheChoosersMoveTogether)
{
    showForm();
    EXPECT_TRUE(cars().empty());
    EXPECT_FALSE(control("Frame3")->isEnabled());
    EXPECT_FALSE(control("File1")->isVisible());
    EXPECT_EQ(form->controls().folderChooser.path(), std::filesystem::current_path());
    click("Check1");
    EXPECT_EQ(shown(), "0000 000 0 0  ");

    int scans = 0;
    form->controls().folderChooser.changed.connect([&scans] { ++scans; });
    ASSERT_TRUE(form->startIn(racers() / "falcon_gt" / ".." / ""));
    EXPECT_EQ(form->controls().folderChooser.path(), racers());
    EXPECT_EQ(cars(), (std::vector<std::string>{"falcon_gt", "mistral", "vortex_r"}));
    EXPECT_TRUE(control("Frame3")->isEnabled());
    auto* drive = control<QComboBox>("Drive1");
    EXPECT_EQ(drive->currentText(), DriveList::displayName(DriveList::driveOf(racers())));

    // Drive1 follows every change of folder, whatever it showed before.
    DriveChooser& drives = form->controls().driveChooser;
    const std::filesystem::path root = drives.drives().front();
    drives.setDrives({root, temp.path()});
    drives.setDrive(temp.path());
    openFolder(racers() / "mistral");
    EXPECT_TRUE(cars().empty());
    EXPECT_FALSE(control("Frame3")->isEnabled());
    EXPECT_EQ(drive->currentText(), DriveList::displayName(DriveList::driveOf(racers())));
    EXPECT_EQ(scans, 2);

    // And Dir1 follows a drive picked in Drive1.
    drives.setDrives({root, temp.path()});
    drives.setDrive(temp.path());
    drive->setFocus();
    QTest::keyClick(drive, Qt::Key_Home);
    EXPECT_EQ(form->controls().folderChooser.path(), root);
    EXPECT_EQ(drive->currentText(), DriveList::displayName(root));
    EXPECT_EQ(scans, 3);
    EXPECT_TRUE(messages.shown.empty());
}

// Records which windows are shown, in order.
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
    showForm();
    qApp->removeEventFilter(&order);
    EXPECT_EQ(order.shown, (QStringList{"Form2Window", "Form1Window"}));
    QPointer<HelpWindow> help = form->helpWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(help));
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
    form->hide();
    form->show();
    EXPECT_EQ(form->helpWindow(), nullptr);
}

TEST_F(Window, ClosingTheMainWindowEndsTheProgramWithBothWindows)
{
    showForm();
    QPointer<HelpWindow> help = form->helpWindow();
    QTimer::singleShot(0, form.get(), [this] { form->close(); });
    QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });  // fails rather than hangs
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(help.isNull() || !help->isVisible());
}

TEST(MessageBoxes, ShowTheWholeTextWithinTheScreenAndCopyItAsWritten)
{
    const std::string name = "falcon_gt_" + std::string(218, 'x');
    const std::pair<std::string, std::string> texts[] = {
        {"Minimum wheelsize is 14 inch!!!! \rThe size has been corrected.", "Minimum wheelsize is 14 inch!!!! \nThe size has been corrected."},
        {"The car script of \"" + name + "\" cannot be read: /home/kim/cars/racers/" + name + "/scripts/_main_.cfg: gone.", ""},
    };
    for (const auto& [text, shown] : texts) {
        const auto box = MessageBoxPresenter::makeBox("Read car", text, nullptr);
        box->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(box.get()));
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        EXPECT_EQ(box->buttons().size(), 1);
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->windowTitle(), "Read car");
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
