// Saves that meet a real obstacle on the disk rather than an injected one:
// the files are not where they should be, are of the wrong kind, or the
// disk is full.

#include "ChildProcess.h"
#include "MemoryDisk.h"
#include "ReliabilitySupport.h"
#include "TestSupport.h"

#include "carscript/FileSystem.h"
#include "editor/CarEditor.h"
#include "controls/EditingControls.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

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
    controls.rearDrive.setValue(true);
    controls.frontHeight.setValue(4);
    controls.smallestWheel.setText("15");
    controls.largestWheel.setText("18");
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
    EXPECT_EQ(scriptsFolderEntries(car), (std::vector<std::string>{"._main_.cfg.lock", "_main_.cfg"}));
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
    EXPECT_EQ(scriptsFolderEntries(car),
              (std::vector<std::string>{"._main_.cfg.lock", "_main_.cfg", "_main_backup.cfg"}));
}

// Who owns the script, how it may be written, and who runs `quendral-car
// set` on it. Root ignores permission bits, so the save must judge them
// itself; and a save by another user must not take the files over. Rows of
// other users run the tool through setpriv and need root to be set up.
constexpr uid_t TestUser = static_cast<uid_t>(-1);
struct Ownership
{
    const char* name;
    mode_t scriptMode;
    mode_t backupMode;  // 0: no backup before the save
    uid_t owner;
    uid_t saver;
    const char* refusal;  // nullptr: saved
    friend void PrintTo(const Ownership& row, std::ostream* out) { *out << row.name; }
};

class OwnersAndPermissions : public testing::TestWithParam<Ownership>
{
};

struct stat statusOf(const std::filesystem::path& path)
{
    struct stat status {};
    EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
    return status;
}

TEST_P(OwnersAndPermissions, AreKeptOrTheSaveIsRefused)
{
    const Ownership& row = GetParam();
    if ((row.owner != TestUser || row.saver != TestUser) && geteuid() != 0)
        GTEST_SKIP() << "only root can give the script another owner or run the tool as another user";

    TemporaryFolder folder;
    const auto car = makeCar(folder.path() / "racers" / "mistral", Script);
    const auto script = car / "scripts" / "_main_.cfg";
    const auto backup = car / "scripts" / "_main_backup.cfg";
    const std::string earlierBackup = "; an earlier backup\r\n";
    for (const auto& path : {folder.path(), folder.path() / "racers", car})
        ::chmod(path.c_str(), 0755);
    ::chmod((car / "scripts").c_str(), 0777);
    if (row.backupMode != 0) {
        writeBytes(backup, earlierBackup);
        ::chmod(backup.c_str(), row.backupMode);
    }
    if (row.owner != TestUser) {
        ASSERT_EQ(::chown((car / "scripts").c_str(), row.owner, row.owner), 0);
        ASSERT_EQ(::chown(script.c_str(), row.owner, row.owner), 0);
    }
    ASSERT_EQ(::chmod(script.c_str(), row.scriptMode), 0);
    const struct stat before = statusOf(script);

    std::vector<std::string> arguments = {"set", car.string(), "--front", "12"};
    std::filesystem::path program = QUENDRAL_CAR_TOOL;
    if (row.saver != TestUser) {
        const std::string id = std::to_string(row.saver);
        arguments.insert(arguments.begin(), {"--reuid=" + id, "--regid=" + id, "--clear-groups", program.string()});
        program = "/usr/bin/setpriv";
    }
    const auto log = folder.path() / "tool.log";
    ChildProcess tool(program, arguments, log);
    const int status = tool.wait();
    const std::string told = readBytes(log);

    if (!row.refusal) {
        EXPECT_EQ(status, 0) << told;
        EXPECT_NE(readBytes(script), Script);
        EXPECT_EQ(readBytes(backup), Script);
        for (const auto& path : {script, backup}) {
            const struct stat after = statusOf(path);
            EXPECT_EQ(after.st_uid, before.st_uid) << path;
            EXPECT_EQ(after.st_gid, before.st_gid) << path;
            EXPECT_EQ(after.st_mode, before.st_mode) << path;
        }
        // A lock file made by root is handed to the owner of the folder.
        EXPECT_EQ(statusOf(car / "scripts" / "._main_.cfg.lock").st_uid, statusOf(car / "scripts").st_uid);
        return;
    }
    EXPECT_EQ(status, 1) << told;
    EXPECT_NE(told.find("Save file: The car \"mistral\" was not saved"), std::string::npos) << told;
    EXPECT_NE(told.find(row.refusal), std::string::npos) << told;
    EXPECT_EQ(readBytes(script), Script);
    const struct stat after = statusOf(script);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_uid, before.st_uid);
    std::string backupNow;
    EXPECT_EQ(fileHolds(backup, backupNow), row.backupMode != 0);
    if (row.backupMode != 0) {
        EXPECT_EQ(backupNow, earlierBackup);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cars, OwnersAndPermissions,
    testing::Values(Ownership{"ReadOnlyScript", 0444, 0, TestUser, TestUser, "_main_.cfg is read-only"},
                    Ownership{"ReadOnlyBackup", 0644, 0444, TestUser, TestUser, "_main_backup.cfg is read-only"},
                    Ownership{"PrivateScriptSavedByRoot", 0600, 0, 65534, TestUser, nullptr},
                    Ownership{"ScriptOfAnotherUserSavedByNobody", 0666, 0, 4242, 65534, "user 4242"}),
    [](const testing::TestParamInfo<Ownership>& info) { return std::string(info.param.name); });

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
        EXPECT_EQ(scriptsFolderEntries(car),
                  (std::vector<std::string>{"._main_.cfg.lock", "_main_.cfg", "_main_backup.cfg"}));
    } else {
        EXPECT_EQ(scriptsFolderEntries(car), (std::vector<std::string>{"._main_.cfg.lock", "_main_.cfg"}));
    }
}

INSTANTIATE_TEST_SUITE_P(ScriptSizes, FullDisk, testing::Values(400 * 1024, 600 * 1024),
                         [](const testing::TestParamInfo<std::size_t>& info) {
                             return info.param == 400 * 1024 ? std::string("RoomForTheBackupOnly")
                                                             : std::string("NoRoomForTheBackup");
                         });

} // namespace
} // namespace quendral::test
