#include "WindowFixture.h"

#include "carscript/SaveSettings.h"
#include "carscript/ScriptLoader.h"
#include "carscript/ScriptRewriter.h"
#include "carscript/ByteSink.h"
#include "controls/EditingControls.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QApplication>

namespace quendral::test {
namespace {

const ShownMessage MaxSize{"Max size", "Maximal wheelsize is 21 inch!!!!"};
const ShownMessage MinSize{"Min size", "Minimum wheelsize is 14 inch!!!! \rThe size has been corrected."};
const ShownMessage MinAboveMax{"MIN>MAX", "Min is bigger then max!!!!"};

class MainWindowEditing : public WindowFixture
{
protected:
    std::vector<bool> checksShown() const
    {
        std::vector<bool> ticked;
        for (const char* name : {"Check1", "Check2", "Check3", "Check4"})
            ticked.push_back(control<QCheckBox>(name)->isChecked());
        return ticked;
    }

    std::vector<bool> optionsShown() const
    {
        std::vector<bool> chosen;
        for (const char* name : {"Option1", "Option2", "Option3"})
            chosen.push_back(control<QRadioButton>(name)->isChecked());
        return chosen;
    }

    QString text(const char* box) const { return control<QLineEdit>(box)->text(); }
    int position(const char* slider) const { return control<QSlider>(slider)->value(); }

    void click(const char* name)
    {
        auto* button = control<QAbstractButton>(name);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }

    // The car script the save is expected to write: the core's rewrite of
    // the script as it stood, with the settings made in the window.
    static std::string rewritten(const std::string& script, const SaveSettings& settings)
    {
        StringSink sink;
        std::string error;
        EXPECT_TRUE(rewriteScript(script, settings, sink, error)) << error;
        return sink.data;
    }
};

TEST_F(MainWindowEditing, OpeningTheRacersFolderListsTheCarsAndEnablesTheEditingFrame)
{
    showForm();
    openRacersFolder();
    EXPECT_EQ(carNames(), (std::vector<std::string>{"falcon_gt", "mistral", "vortex_r"}));
    EXPECT_TRUE(control<QGroupBox>("Frame3")->isEnabled());
    EXPECT_EQ(control<QListWidget>("File1")->count(), 3);
    EXPECT_EQ(form->controls().folderChooser.path(), racers());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainWindowEditing, ClickingACarShowsItsSettingsInEveryControl)
{
    openRacersFolder();
    clickCar(0);
    EXPECT_EQ(form->controls().carList.listIndex(), 0);
    EXPECT_EQ(checksShown(), (std::vector<bool>{true, true, false, false}));
    EXPECT_EQ(optionsShown(), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(position("Slider1"), 10);  // -0.500
    EXPECT_EQ(position("Slider2"), 7);   // -0.44
    EXPECT_EQ(text("txtminw"), "15");
    EXPECT_EQ(text("txtmaxw"), "18");

    // The next car replaces the engine families and whatever else it gives.
    clickCar(1);
    SCOPED_TRACE(readBytes(carScriptOf("mistral")));
    EditingControls expected(messages);
    loadCarSettings(readBytes(carScriptOf("mistral")), expected);
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(checksShown()[i], expected.engineChecks()[i]->isChecked()) << i;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(optionsShown()[static_cast<std::size_t>(i)], expected.driveSystem.value(i)) << i;
    EXPECT_EQ(position("Slider1"), expected.frontHeight.value());
    EXPECT_EQ(position("Slider2"), expected.rearHeight.value());
    EXPECT_EQ(text("txtminw").toStdString(), expected.smallestWheel.text());
    EXPECT_EQ(text("txtmaxw").toStdString(), expected.largestWheel.text());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainWindowEditing, ClickingTheSelectedCarAgainReadsItAgain)
{
    openRacersFolder();
    clickCar(0);
    click("Check3");
    click("Check1");
    EXPECT_EQ(checksShown(), (std::vector<bool>{false, true, true, false}));
    clickCar(0);
    EXPECT_EQ(checksShown(), (std::vector<bool>{true, true, false, false}));
}

TEST_F(MainWindowEditing, MovingThroughTheListWithTheKeyboardReadsEachCar)
{
    openRacersFolder();
    clickCar(0);
    auto* list = control<QListWidget>("lstcars");
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(form->controls().carList.listIndex(), 1);
    EditingControls expected(messages);
    loadCarSettings(readBytes(carScriptOf("mistral")), expected);
    EXPECT_EQ(position("Slider1"), expected.frontHeight.value());
    EXPECT_EQ(text("txtmaxw").toStdString(), expected.largestWheel.text());
}

TEST_F(MainWindowEditing, TypingAMaximumAbove21IsRefusedAndResetTo21)
{
    openRacersFolder();
    clickCar(0);
    typeInto("txtmaxw", "2");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(text("txtmaxw"), "2");
    QTest::keyClicks(control<QLineEdit>("txtmaxw"), "2");
    EXPECT_EQ(messages.shown, std::vector<ShownMessage>{MaxSize});
    EXPECT_EQ(text("txtmaxw"), "21");
    EXPECT_EQ(form->controls().largestWheel.text(), "21");

    // The limit itself, and a fraction rounded down to it, pass silently.
    messages.shown.clear();
    typeInto("txtmaxw", "20.5");
    typeInto("txtmaxw", "21");
    EXPECT_TRUE(messages.shown.empty());
    typeInto("txtmaxw", "21.5");
    EXPECT_EQ(messages.shown, std::vector<ShownMessage>{MaxSize});
    EXPECT_EQ(text("txtmaxw"), "21");
}

TEST_F(MainWindowEditing, AMaximumAbove21InTheScriptIsRefusedWhileTheCarIsRead)
{
    makeCar(racers() / "falcon_gt", carScript({"attach    0x000400CE 1    ; i4 blocks"}, "-0.500",
                                              "1.000 1.000 1.000 0.000", "-0.44", "0.000 0.000 1.000 1.000",
                                              16, 22));
    openRacersFolder();
    clickCar(0);
    EXPECT_EQ(messages.shown, std::vector<ShownMessage>{MaxSize});
    EXPECT_EQ(text("txtminw"), "16");
    EXPECT_EQ(text("txtmaxw"), "21");
}

TEST_F(MainWindowEditing, SavingWritesTheSettingsMadeInTheWindow)
{
    openRacersFolder();
    clickCar(0);
    const std::string original = readBytes(carScriptOf("falcon_gt"));

    click("Check2");    // V6 off
    click("Check4");    // V10 on
    click("Option3");   // all wheels
    auto* front = control<QSlider>("Slider1");
    front->setFocus();
    QTest::keyClick(front, Qt::Key_Right);
    QTest::keyClick(front, Qt::Key_Right);
    auto* rear = control<QSlider>("Slider2");
    QTest::keyClick(rear, Qt::Key_Left);
    typeInto("txtminw", "16");
    typeInto("txtmaxw", "19");
    click("cmdSave");

    SaveSettings settings;
    settings.engines = {true, false, false, true};
    settings.frontDriven = settings.rearDriven = settings.driveChosen = true;
    settings.frontPosition = 12;
    settings.rearPosition = 6;
    settings.smallestWheel = 16;
    settings.largestWheel = 19;
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(readBytes(carScriptOf("falcon_gt")), rewritten(original, settings));
    EXPECT_EQ(readBytes(racers() / "falcon_gt" / "scripts" / "_main_backup.cfg"), original);

    // Reading the car again shows what was saved.
    clickCar(1);
    clickCar(0);
    EXPECT_EQ(checksShown(), (std::vector<bool>{true, false, false, true}));
    EXPECT_EQ(optionsShown(), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(position("Slider1"), 12);
    EXPECT_EQ(position("Slider2"), 6);
    EXPECT_EQ(text("txtminw"), "16");
    EXPECT_EQ(text("txtmaxw"), "19");
}

TEST_F(MainWindowEditing, AltSPressesSave)
{
    activateForm();
    openRacersFolder();
    clickCar(2);
    const std::string original = readBytes(carScriptOf("vortex_r"));
    click("Option2");
    ASSERT_EQ(QApplication::activeWindow(), form.get());
    QTest::keyClick(form.get(), Qt::Key_S, Qt::AltModifier);
    // The access key presses the button visibly: the click comes a moment later.
    EXPECT_TRUE(QTest::qWaitFor([&] { return readBytes(carScriptOf("vortex_r")) != original; }));

    EditingControls shown(messages);
    loadCarSettings(original, shown);
    SaveSettings settings;
    for (std::size_t i = 0; i < 4; ++i)
        settings.engines[i] = shown.engineChecks()[i]->isChecked();
    settings.rearDriven = settings.driveChosen = true;
    settings.frontPosition = shown.frontHeight.value();
    settings.rearPosition = shown.rearHeight.value();
    settings.smallestWheel = std::stoi(shown.smallestWheel.text());
    settings.largestWheel = std::stoi(shown.largestWheel.text());
    EXPECT_EQ(readBytes(carScriptOf("vortex_r")), rewritten(original, settings));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainWindowEditing, AMinimumBelow14IsCorrectedAndSaved)
{
    openRacersFolder();
    clickCar(0);
    const std::string original = readBytes(carScriptOf("falcon_gt"));
    typeInto("txtminw", "12");
    click("cmdSave");
    EXPECT_EQ(messages.shown, std::vector<ShownMessage>{MinSize});
    EXPECT_EQ(text("txtminw"), "14");
    EXPECT_NE(readBytes(carScriptOf("falcon_gt")), original);
    clickCar(0);
    EXPECT_EQ(text("txtminw"), "14");
    EXPECT_EQ(text("txtmaxw"), "18");
}

TEST_F(MainWindowEditing, AMaximumBelowTheMinimumStopsTheSave)
{
    openRacersFolder();
    clickCar(0);
    const std::string original = readBytes(carScriptOf("falcon_gt"));
    typeInto("txtminw", "12");
    typeInto("txtmaxw", "13");
    click("cmdSave");
    EXPECT_EQ(messages.shown, (std::vector<ShownMessage>{MinSize, MinAboveMax}));
    EXPECT_EQ(text("txtminw"), "14");
    EXPECT_EQ(readBytes(carScriptOf("falcon_gt")), original);
    EXPECT_FALSE(std::filesystem::exists(racers() / "falcon_gt" / "scripts" / "_main_backup.cfg"));
}

TEST_F(MainWindowEditing, TheEditingFrameRefusesInputBeforeAnyCarList)
{
    showForm();
    click("Check1");
    click("Option2");
    QTest::keyClicks(control<QLineEdit>("txtmaxw"), "22");
    QTest::keyClick(control<QSlider>("Slider1"), Qt::Key_Right);
    const EditingControls& controls = form->controls();
    EXPECT_EQ(controls.engineI4.value(), 0);
    EXPECT_EQ(controls.driveSystem.selected(), OptionGroup::None);
    EXPECT_EQ(controls.largestWheel.text(), "");
    EXPECT_EQ(controls.frontHeight.value(), 0);
    EXPECT_EQ(checksShown(), (std::vector<bool>{false, false, false, false}));
    EXPECT_TRUE(messages.shown.empty());

    // Save can still be pressed; with empty wheel sizes it says so.
    click("cmdSave");
    EXPECT_EQ(messages.captions(), std::vector<std::string>{"Min size"});
}

TEST_F(MainWindowEditing, TheDriveChoiceStaysOneOfThree)
{
    activateForm();
    openRacersFolder();
    clickCar(0);
    click("Option1");
    EXPECT_EQ(optionsShown(), (std::vector<bool>{true, false, false}));
    click("Option2");
    EXPECT_EQ(optionsShown(), (std::vector<bool>{false, true, false}));
    EXPECT_TRUE(form->controls().rearDrive.value());

    // The arrow keys move the choice within the group.
    control<QRadioButton>("Option2")->setFocus();
    QTest::keyClick(control<QRadioButton>("Option2"), Qt::Key_Down);
    EXPECT_TRUE(form->controls().allDrive.value());
    EXPECT_EQ(optionsShown(), (std::vector<bool>{false, false, true}));
}

TEST_F(MainWindowEditing, ACarThatDrivesNoAxleLeavesTheDriveChoiceAsItWas)
{
    makeCar(racers() / "mistral", carScript({}, "-0.500", "1.000 0.000 1.000 0.000", "-0.44",
                                            "0.000 0.000 1.000 1.000", 15, 17));
    openRacersFolder();
    clickCar(1);
    EXPECT_EQ(optionsShown(), (std::vector<bool>{false, false, false}));
    clickCar(0);
    EXPECT_EQ(optionsShown(), (std::vector<bool>{true, false, false}));
    clickCar(1);
    EXPECT_EQ(optionsShown(), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(checksShown(), (std::vector<bool>{false, false, false, false}));
}

} // namespace
} // namespace quendral::test
