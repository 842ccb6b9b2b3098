// Saves that meet a real obstacle on the disk rather than an injected one:
// the files are not where they should be, are of the wrong kind, or the
// disk is full.

#include "MemoryDisk.h"
#include "ReliabilitySupport.h"
#include "TestSupport.h"

#include "carscript/FileSystem.h"
#include "ui/CarEditor.h"
#include "ui/EditingControls.h"

#include <gtest/gtest.h>

namespace quendral::test {
namespace {

struct Attempt
{
    bool loaded = false;
    bool saved = false;
    std::vector<ShownMessage> messages;
};

// Picks the car and presses Save whether or not its script could be read,
// as a user may in the window after the load has failed.
Attempt loadAndSave(const std::filesystem::path& car)
{
    RecordingMessages messages;
    EditingControls controls(messages);
    CarEditor editor(controls, messages, FileSystem::real());
    editor.pickCarFolder(car);
    Attempt attempt;
    attempt.loaded = editor.loadSelectedCar();
    controls.Option2.setValue(true);
    controls.Slider1.setValue(4);
    controls.txtminw.setText("15");
    controls.txtmaxw.setText("18");
    attempt.saved = editor.save();
    attempt.messages = messages.shown;
    return attempt;
}

void expectToldAbout(const Attempt& attempt, const std::string& car)
{
    ASSERT_FALSE(attempt.messages.empty());
    for (const ShownMessage& message : attempt.messages)
        EXPECT_NE(message.text.find("\"" + car + "\""), std::string::npos) << message.text;
    EXPECT_EQ(attempt.messages.back().caption, "Save file");
}

const std::string Script = carScript({"attach    0x000400D0 1    ; v8 blocks"}, "-0.400",
                                     "1.000 0.000 1.000 0.000", "-0.40", "0.000 1.000 1.000 1.000", 15, 19);

TEST(SaveMeetsTheDisk, MissingScriptsFolderIsReportedAndNothingIsCreated)
{
    TemporaryFolder folder;
    const auto car = folder.path() / "mistral";
    std::filesystem::create_directory(car);
    const Attempt attempt = loadAndSave(car);
    EXPECT_FALSE(attempt.loaded);
    EXPECT_FALSE(attempt.saved);
    expectToldAbout(attempt, "mistral");
    EXPECT_EQ(attempt.messages.front().caption, "Read car");
    EXPECT_FALSE(std::filesystem::exists(car / "scripts"));
}

TEST(SaveMeetsTheDisk, ScriptThatIsAFolderIsReportedAndLeftAlone)
{
    TemporaryFolder folder;
    const auto car = folder.path() / "mistral";
    std::filesystem::create_directories(car / "scripts" / "_main_.cfg");
    writeBytes(car / "scripts" / "_main_.cfg" / "inside.txt", "keep");
    const Attempt attempt = loadAndSave(car);
    EXPECT_FALSE(attempt.loaded);
    EXPECT_FALSE(attempt.saved);
    expectToldAbout(attempt, "mistral");
    EXPECT_TRUE(std::filesystem::is_directory(car / "scripts" / "_main_.cfg"));
    EXPECT_EQ(readBytes(car / "scripts" / "_main_.cfg" / "inside.txt"), "keep");
    EXPECT_EQ(scriptsFolderEntries(car), std::vector<std::string>{"_main_.cfg"});
}

TEST(SaveMeetsTheDisk, CarFolderThatIsAFileIsReportedAndLeftAlone)
{
    TemporaryFolder folder;
    const auto car = folder.path() / "mistral";
    writeBytes(car, "not a folder");
    const Attempt attempt = loadAndSave(car);
    EXPECT_FALSE(attempt.loaded);
    EXPECT_FALSE(attempt.saved);
    expectToldAbout(attempt, "mistral");
    EXPECT_EQ(readBytes(car), "not a folder");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(SaveMeetsTheDisk, BackupThatIsAFolderStopsTheSaveBeforeTheScriptIsTouched)
{
    TemporaryFolder folder;
    const auto car = makeCar(folder.path() / "mistral", Script);
    std::filesystem::create_directory(car / "scripts" / "_main_backup.cfg");
    const Attempt attempt = loadAndSave(car);
    EXPECT_TRUE(attempt.loaded);
    EXPECT_FALSE(attempt.saved);
    expectToldAbout(attempt, "mistral");
    EXPECT_EQ(readBytes(car / "scripts" / "_main_.cfg"), Script);
    EXPECT_TRUE(std::filesystem::is_directory(car / "scripts" / "_main_backup.cfg"));
    EXPECT_EQ(scriptsFolderEntries(car), (std::vector<std::string>{"_main_.cfg", "_main_backup.cfg"}));
}

class FullDisk : public testing::TestWithParam<std::size_t>
{
};

// The disk holds 1 MiB. A script of 400 KiB leaves room for its backup but
// not for the new script; one of 600 KiB leaves no room for the backup.
TEST_P(FullDisk, LeavesTheScriptWholeAndNoTemporaryFile)
{
    TemporaryFolder folder;
    MemoryDisk disk(folder.path() / "disk", "1m");
    if (!disk.mounted())
        GTEST_SKIP() << "this machine does not let the test mount a small tmpfs (" << disk.error()
                     << "), so a full disk cannot be made";

    const std::string script = largeCarScript(GetParam());
    const auto car = makeCar(folder.path() / "disk" / "mistral", script);
    const Attempt attempt = loadAndSave(car);
    EXPECT_TRUE(attempt.loaded);
    EXPECT_FALSE(attempt.saved);
    expectToldAbout(attempt, "mistral");
    EXPECT_NE(attempt.messages.back().text.find("No space left on device"), std::string::npos)
        << attempt.messages.back().text;
    EXPECT_EQ(readBytes(car / "scripts" / "_main_.cfg"), script);

    std::string backup;
    if (fileHolds(car / "scripts" / "_main_backup.cfg", backup)) {
        EXPECT_EQ(backup, script);
        EXPECT_EQ(scriptsFolderEntries(car), (std::vector<std::string>{"_main_.cfg", "_main_backup.cfg"}));
    } else {
        EXPECT_EQ(scriptsFolderEntries(car), std::vector<std::string>{"_main_.cfg"});
    }
}

INSTANTIATE_TEST_SUITE_P(ScriptSizes, FullDisk, testing::Values(400 * 1024, 600 * 1024),
                         [](const testing::TestParamInfo<std::size_t>& info) {
                             return info.param == 400 * 1024 ? std::string("RoomForTheBackupOnly")
                                                             : std::string("NoRoomForTheBackup");
                         });

} // namespace
} // namespace quendral::test
