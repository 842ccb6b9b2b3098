#include "carscript/ByteSink.h"
#include "carscript/CarFiles.h"
#include "carscript/FileSystem.h"
#include "carscript/SaveSettings.h"
#include "carscript/ScriptRewriter.h"
#include "TestSupport.h"
#include "editor/CarEditor.h"
#include "controls/EditingControls.h"

#include <gtest/gtest.h>

#include <functional>

namespace quendral {
namespace {

namespace fs = std::filesystem;

const std::string MinSizeText = "Minimum wheelsize is 14 inch!!!! \rThe size has been corrected.";

class CarEditorTest : public testing::Test
{
protected:
    void SetUp() override
    {
        racers = temporary.path() / "racers";
        for (const char* name : {"alpha", "beta"}) {
            test::writeBytes(racers / (std::string(name) + ".rpk"), "rpk");
            test::makeCar(racers / name, test::readBytes(fs::path(QUENDRAL_EXAMPLES_DIR) / "falcon_gt" / "scripts"
                                                          / "_main_.cfg"));
        }
        ASSERT_TRUE(editor.openFolder(racers));
        original = script("alpha");
    }

    std::string script(const char* car) const { return test::readBytes(carScriptPath(racers / car)); }
    std::string backup(const char* car) const { return test::readBytes(backupScriptPath(racers / car)); }

    std::vector<std::string> scriptsFolder(const char* car) const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(racers / car / "scripts"))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    void pick(int index)
    {
        controls.carList.setListIndex(index);
        ASSERT_TRUE(editor.loadSelectedCar());
    }

    std::string expectedRewrite(const std::string& from, int smallest, int largest) const
    {
        SaveSettings s;
        s.engines = {controls.engineI4.isChecked(), controls.engineV6.isChecked(), controls.engineV8.isChecked(),
                     controls.engineV10.isChecked()};
        s.frontDriven = controls.frontDrive.value() || controls.allDrive.value();
        s.rearDriven = controls.rearDrive.value() || controls.allDrive.value();
        s.driveChosen = controls.driveSystem.selected() != OptionGroup::None;
        s.frontPosition = controls.frontHeight.value();
        s.rearPosition = controls.rearHeight.value();
        s.smallestWheel = smallest;
        s.largestWheel = largest;
        StringSink sink;
        std::string error;
        EXPECT_TRUE(rewriteScript(from, s, sink, error)) << error;
        return sink.data;
    }

    test::TemporaryFolder temporary;
    fs::path racers;
    std::string original;
    test::RecordingMessages messages;
    EditingControls controls{messages};
    CarEditor editor{controls, messages, FileSystem::real()};
};

TEST_F(CarEditorTest, SaveBacksUpTheScriptAndWritesItAnew)
{
    pick(0);
    controls.engineV8.setValue(1);
    controls.frontHeight.setValue(20);
    ASSERT_TRUE(editor.save());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(backup("alpha"), original);
    const std::string first = script("alpha");
    EXPECT_EQ(first, expectedRewrite(original, 15, 18));
    EXPECT_EQ(script("beta"), original);
    EXPECT_EQ(scriptsFolder("alpha"),
              (std::vector<std::string>{"._main_.cfg.lock", "_main_.cfg", "_main_backup.cfg", "_main_history"}));

    ASSERT_TRUE(editor.save());
    EXPECT_EQ(backup("alpha"), first);
    EXPECT_EQ(script("alpha"), first);

    pick(0);
    EXPECT_EQ(controls.engineV8.value(), 1);
    EXPECT_EQ(controls.frontHeight.value(), 20);
}

TEST_F(CarEditorTest, AMinimumBelow14IsCorrectedAndTheSaveGoesOn)
{
    pick(0);
    controls.smallestWheel.setText("12");
    ASSERT_TRUE(editor.save());
    EXPECT_EQ(messages.shown, (std::vector<test::ShownMessage>{{"Min size", MinSizeText}}));
    EXPECT_EQ(controls.smallestWheel.text(), "14");
    EXPECT_EQ(script("alpha"), expectedRewrite(original, 14, 18));
}

TEST_F(CarEditorTest, AMaximumBelowTheMinimumStopsTheSaveBeforeAnyFile)
{
    pick(0);
    controls.smallestWheel.setText("12");
    controls.largestWheel.setText("13");
    EXPECT_FALSE(editor.save());
    EXPECT_EQ(messages.shown, (std::vector<test::ShownMessage>{{"Min size", MinSizeText},
                                                               {"MIN>MAX", "Min is bigger then max!!!!"}}));
    EXPECT_EQ(controls.smallestWheel.text(), "14");
    EXPECT_EQ(script("alpha"), original);
    EXPECT_FALSE(fs::exists(backupScriptPath(racers / "alpha")));

    messages.shown.clear();
    controls.largestWheel.setText("14");
    EXPECT_TRUE(editor.save()) << "equal sizes are accepted";
}

TEST_F(CarEditorTest, WheelSizesThatAreNoNumbersStopTheSave)
{
    pick(0);
    for (const auto& [minimum, maximum, caption] : {std::tuple{"", "18", "Min size"}, std::tuple{"15", "x", "Max size"},
                                                    std::tuple{"40000", "18", "Min size"}}) {
        messages.shown.clear();
        controls.smallestWheel.setText(minimum);
        controls.largestWheel.setText(maximum);
        EXPECT_FALSE(editor.save());
        EXPECT_EQ(messages.captions(), std::vector<std::string>{caption}) << minimum << " " << maximum;
    }
    EXPECT_EQ(script("alpha"), original);
    EXPECT_FALSE(fs::exists(backupScriptPath(racers / "alpha")));
}

TEST_F(CarEditorTest, SavingWithNoCarSelectedTouchesNoFile)
{
    controls.smallestWheel.setText("15");
    controls.largestWheel.setText("16");
    EXPECT_FALSE(editor.save());
    EXPECT_EQ(messages.captions(), std::vector<std::string>{"Save file"});
    EXPECT_EQ(script("alpha"), original);
    EXPECT_EQ(scriptsFolder("alpha"), std::vector<std::string>{"_main_.cfg"});
}

TEST_F(CarEditorTest, LoadingClearsTheEngineFamiliesFirstEvenWhenItFails)
{
    pick(0);
    controls.engineV10.setValue(1);
    controls.carList.setListIndex(ListBox::NoSelection);
    EXPECT_FALSE(editor.loadSelectedCar());
    EXPECT_TRUE(messages.shown.empty()) << "nothing selected is no error";
    EXPECT_EQ(controls.engineI4.value(), 0);
    EXPECT_EQ(controls.frontHeight.value(), 10);

    controls.engineI4.setValue(1);
    fs::remove(carScriptPath(racers / "beta"));
    controls.carList.setListIndex(1);
    EXPECT_FALSE(editor.loadSelectedCar());
    EXPECT_EQ(controls.engineI4.value(), 0);
    EXPECT_EQ(controls.largestWheel.text(), "18");
    ASSERT_EQ(messages.captions(), std::vector<std::string>{"Read car"});
    EXPECT_NE(messages.shown[0].text.find("\"beta\""), std::string::npos);
}

TEST_F(CarEditorTest, TheNewScriptAndTheBackupKeepThePermissionsOfTheOld)
{
    const fs::path path = carScriptPath(racers / "alpha");
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(path, mode);
    pick(0);
    ASSERT_TRUE(editor.save());
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, mode);
    EXPECT_EQ(fs::status(backupScriptPath(racers / "alpha")).permissions() & fs::perms::all, mode);
}

// The load took the script in; by the save another program has grown it
// (sparsely) far beyond what memory holds.
TEST_F(CarEditorTest, AScriptTooLargeToHoldIsRefusedBeforeItIsRead)
{
    pick(0);
    const fs::path path = carScriptPath(racers / "alpha");
    fs::resize_file(path, 100ull << 30);
    EXPECT_FALSE(editor.save());
    EXPECT_FALSE(editor.loadSelectedCar());
    EXPECT_EQ(messages.captions(), (std::vector<std::string>{"Save file", "Read car"}));
    for (const auto& message : messages.shown) {
        EXPECT_NE(message.text.find("\"alpha\""), std::string::npos) << message.text;
        EXPECT_NE(message.text.find("107,374,182,400 bytes"), std::string::npos) << message.text;
    }
    EXPECT_EQ(fs::file_size(path), 100ull << 30);
    EXPECT_FALSE(fs::exists(backupScriptPath(racers / "alpha")));
}

// Another editor saves the car between this one's load and save.
TEST_F(CarEditorTest, ASaveInBetweenKeepsItsChangeUnlessEveryControlIsSaved)
{
    for (const auto scope : {CarEditor::SaveScope::ChangedSettings, CarEditor::SaveScope::EveryControl}) {
        test::writeBytes(carScriptPath(racers / "alpha"), original);
        pick(0);
        const int rear = controls.rearHeight.value();
        {
            test::RecordingMessages otherMessages;
            EditingControls other(otherMessages);
            CarEditor otherEditor(other, otherMessages, FileSystem::real());
            otherEditor.pickCarFolder(racers / "alpha");
            ASSERT_TRUE(otherEditor.loadSelectedCar());
            other.rearHeight.setValue(25);
            other.engineV10.setValue(1);
            ASSERT_TRUE(otherEditor.save());
        }
        controls.frontHeight.setValue(3);
        controls.engineI4.setValue(0);
        ASSERT_TRUE(editor.save(scope));
        EXPECT_TRUE(messages.shown.empty());

        pick(0);
        EXPECT_EQ(controls.frontHeight.value(), 3);
        EXPECT_EQ(controls.engineI4.value(), 0);
        const bool merged = scope == CarEditor::SaveScope::ChangedSettings;
        EXPECT_EQ(controls.rearHeight.value(), merged ? 25 : rear);
        EXPECT_EQ(controls.engineV10.value(), merged ? 1 : 0);
    }
}

// Settings the car script has no place for: the save writes what it can,
// then reads it back and reports every setting that did not take.
TEST_F(CarEditorTest, ASettingTheScriptCannotTakeIsReportedAndTheSaveFails)
{
    const std::string shortLine = "suspension    -0.500 1.000 1.000 1.000 0.000";
    std::string noEngineBlock = original;
    noEngineBlock.erase(noEngineBlock.find("attach    0x00040010 1    ; engine_block"),
                        noEngineBlock.find("slotdmgmode 1") - noEngineBlock.find("attach    0x00040010"));
    std::string shortWheelLine = original;
    shortWheelLine.replace(shortWheelLine.find("suspension    -0.500"),
                           std::string("suspension    -0.500 0.120 0.080 0.250 2.1000 1.000 1.000 1.000 0.000").size(),
                           shortLine);
    const struct
    {
        std::string script;
        std::function<void(EditingControls&)> change;
        std::vector<std::string> told;
    } rows[] = {
        {noEngineBlock, [](EditingControls& c) { c.engineV8.setValue(1); },
         {"engine families V8", "engine block"}},
        {shortWheelLine, [](EditingControls& c) { c.frontHeight.setValue(12); },
         {"front ride height 12", "too short"}},
        {"; nothing the editor reads\r\n",
         [](EditingControls& c) {
             c.smallestWheel.setText("15");
             c.largestWheel.setText("18");
         },
         {"smallest wheel size 15", "largest wheel size 18", "# FL wheel #"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.told.front());
        test::writeBytes(carScriptPath(racers / "alpha"), row.script);
        pick(0);
        row.change(controls);
        messages.shown.clear();
        EXPECT_FALSE(editor.save());
        ASSERT_EQ(messages.captions(), std::vector<std::string>{"Save file"});
        EXPECT_NE(messages.shown[0].text.find("\"alpha\" was saved"), std::string::npos) << messages.shown[0].text;
        for (const std::string& part : row.told)
            EXPECT_NE(messages.shown[0].text.find(part), std::string::npos) << messages.shown[0].text;
        EXPECT_EQ(backup("alpha"), row.script);
        EXPECT_EQ(script("alpha"), expectedRewrite(row.script, std::stoi(controls.smallestWheel.text()),
                                                   std::stoi(controls.largestWheel.text())));
    }
}

TEST_F(CarEditorTest, PickingADriveThatCannotBeReadKeepsBothChoosers)
{
    ASSERT_TRUE(editor.pickDrive(temporary.path()));
    EXPECT_EQ(controls.driveChooser.drive(), temporary.path());
    EXPECT_EQ(controls.folderChooser.path(), temporary.path());
    EXPECT_FALSE(editor.pickDrive(temporary.path() / "no-such-volume"));
    EXPECT_EQ(controls.driveChooser.drive(), temporary.path());
    EXPECT_EQ(controls.folderChooser.path(), temporary.path());
    EXPECT_EQ(messages.captions(), std::vector<std::string>{"Quendral location"});
}

} // namespace
} // namespace quendral
