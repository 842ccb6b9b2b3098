// A car downloaded from elsewhere may bring symbolic links in its scripts
// folder. Saving it must never write through them: only the car's own
// scripts folder is written, and a link gives way to a regular file.

#include "ReliabilitySupport.h"
#include "TestSupport.h"

#include "carscript/FileSystem.h"
#include "editor/CarEditor.h"
#include "controls/EditingControls.h"

#include <gtest/gtest.h>

namespace quendral::test {
namespace {

const std::string Script = carScript({"attach    0x000400CE 1    ; i4 blocks"}, "-0.360",
                                     "1.000 1.000 1.000 0.000", "-0.36", "0.000 1.000 1.000 1.000", 16, 20);
const std::string UsersFile = "the user's own file, not to be touched\n";

bool save(const std::filesystem::path& car, std::vector<ShownMessage>& shown)
{
    RecordingMessages messages;
    EditingControls controls(messages);
    CarEditor editor(controls, messages, FileSystem::real());
    editor.pickCarFolder(car);
    const bool saved = editor.loadSelectedCar() && (controls.frontHeight.setValue(9), editor.save());
    shown = messages.shown;
    return saved;
}

TEST(LinksInTheScriptsFolder, BackupLinkIsReplacedByARegularFileNotWrittenThrough)
{
    TemporaryFolder folder;
    const auto car = makeCar(folder.path() / "racers" / "mistral", Script);
    const auto elsewhere = folder.path() / "documents" / "thesis.txt";
    writeBytes(elsewhere, UsersFile);
    std::filesystem::create_symlink(elsewhere, car / "scripts" / "_main_backup.cfg");

    std::vector<ShownMessage> messages;
    EXPECT_TRUE(save(car, messages));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(readBytes(elsewhere), UsersFile);
    EXPECT_FALSE(std::filesystem::is_symlink(car / "scripts" / "_main_backup.cfg"));
    EXPECT_EQ(readBytes(car / "scripts" / "_main_backup.cfg"), Script);
}

TEST(LinksInTheScriptsFolder, DanglingBackupLinkCreatesNothingWhereItPoints)
{
    TemporaryFolder folder;
    const auto car = makeCar(folder.path() / "racers" / "mistral", Script);
    const auto nowhere = folder.path() / "autostart" / "run.sh";
    std::filesystem::create_directories(nowhere.parent_path());
    std::filesystem::create_symlink(nowhere, car / "scripts" / "_main_backup.cfg");

    std::vector<ShownMessage> messages;
    EXPECT_TRUE(save(car, messages));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(nowhere)));
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(car / "scripts" / "_main_backup.cfg")));
}

TEST(LinksInTheScriptsFolder, BackupHardLinkToAnotherFileIsReplacedNotWrittenThrough)
{
    TemporaryFolder folder;
    const auto car = makeCar(folder.path() / "racers" / "mistral", Script);
    const auto elsewhere = folder.path() / "documents" / "thesis.txt";
    writeBytes(elsewhere, UsersFile);
    std::filesystem::create_hard_link(elsewhere, car / "scripts" / "_main_backup.cfg");

    std::vector<ShownMessage> messages;
    EXPECT_TRUE(save(car, messages));
    EXPECT_EQ(readBytes(elsewhere), UsersFile);
    EXPECT_EQ(std::filesystem::hard_link_count(elsewhere), 1u);
    EXPECT_EQ(readBytes(car / "scripts" / "_main_backup.cfg"), Script);
}

TEST(LinksInTheScriptsFolder, ScriptLinkIsReadButTheFileItPointsToIsNotWritten)
{
    TemporaryFolder folder;
    const auto car = folder.path() / "racers" / "mistral";
    const auto shared = folder.path() / "shared" / "template.cfg";
    writeBytes(shared, Script);
    std::filesystem::create_directories(car / "scripts");
    std::filesystem::create_symlink(shared, car / "scripts" / "_main_.cfg");

    std::vector<ShownMessage> messages;
    EXPECT_TRUE(save(car, messages));
    EXPECT_EQ(readBytes(shared), Script);
    EXPECT_FALSE(std::filesystem::is_symlink(car / "scripts" / "_main_.cfg"));
    EXPECT_EQ(readBytes(car / "scripts" / "_main_backup.cfg"), Script);
    EXPECT_NE(readBytes(car / "scripts" / "_main_.cfg"), Script);
    EXPECT_NE(readBytes(car / "scripts" / "_main_.cfg").find(" -0.480 "), std::string::npos);
}

} // namespace
} // namespace quendral::test
