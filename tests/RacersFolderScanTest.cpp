#include "catalogue/FolderListing.h"
#include "catalogue/RacersFolderScan.h"
#include "TestSupport.h"
#include "editor/CarEditor.h"
#include "controls/EditingControls.h"
#include "carscript/FileSystem.h"

#include <gtest/gtest.h>

namespace quendral {
namespace {

namespace fs = std::filesystem;

class RacersFolderScan : public testing::Test
{
protected:
    fs::path racers(const std::string& name, const std::vector<std::string>& files,
                    const std::vector<std::string>& folders)
    {
        const fs::path folder = temporary.path() / name;
        fs::create_directories(folder);
        for (const std::string& file : files)
            test::writeBytes(folder / file, "rpk");
        for (const std::string& sub : folders)
            fs::create_directories(folder / sub);
        return folder;
    }

    std::vector<std::pair<std::string, fs::path>> table() const
    {
        std::vector<std::pair<std::string, fs::path>> cars;
        for (int i = 0; i < editor.carTable().size(); ++i)
            cars.emplace_back(editor.carTable().entry(i)->name, editor.carTable().entry(i)->folder);
        return cars;
    }

    test::TemporaryFolder temporary;
    test::RecordingMessages messages;
    EditingControls controls{messages};
    CarEditor editor{controls, messages, FileSystem::real()};
};

TEST_F(RacersFolderScan, ListsTheCarsAndPairsEachWithItsOwnFolder)
{
    const fs::path folder = racers("racers", {"b.rpk", "a.rpk"}, {"a", "b"});
    ASSERT_TRUE(editor.openFolder(folder));
    EXPECT_EQ(controls.carList.items(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(table(), (std::vector<std::pair<std::string, fs::path>>{{"a", folder / "a"}, {"b", folder / "b"}}));
    EXPECT_TRUE(controls.editingFrame.isEnabled());
}

TEST_F(RacersFolderScan, StrayFilesAndFoldersNeverShiftThePairing)
{
    const fs::path folder =
        racers("racers", {"zeta.rpk", "c.txt", "Mid.RPK", ".hidden.rpk", "readme"}, {"alpha", "mid", "zeta", ".git"});
    ASSERT_TRUE(editor.openFolder(folder));
    EXPECT_EQ(controls.carList.items(), (std::vector<std::string>{"Mid", "zeta"}));
    EXPECT_EQ(table(), (std::vector<std::pair<std::string, fs::path>>{{"Mid", folder / "mid"},
                                                                     {"zeta", folder / "zeta"}}));
    EXPECT_EQ(controls.fileList.names(), (std::vector<std::string>{"c.txt", "Mid.RPK", "readme", "zeta.rpk"}));
}

TEST_F(RacersFolderScan, ACarWithoutFolderIsListedAndReportsItsMissingScript)
{
    const fs::path folder = racers("racers", {"lonely.rpk", "other.rpk"}, {"other"});
    ASSERT_TRUE(editor.openFolder(folder));
    ASSERT_EQ(controls.carList.listCount(), 2);
    EXPECT_EQ(editor.carTable().entry(0)->folder, folder / "lonely");

    controls.carList.setListIndex(0);
    EXPECT_FALSE(editor.loadSelectedCar());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("\"lonely\""), std::string::npos);
}

TEST_F(RacersFolderScan, TakesOnlyFoldersWhoseNameEndsInRacers)
{
    EXPECT_TRUE(hasRacersFolderName("/games/q/oldracers"));
    EXPECT_FALSE(hasRacersFolderName("/games/q/Racers"));
    EXPECT_FALSE(hasRacersFolderName("acers"));

    ASSERT_TRUE(editor.openFolder(racers("Racers", {"a.rpk"}, {"a"})));
    EXPECT_EQ(controls.carList.listCount(), 0);
    EXPECT_FALSE(controls.editingFrame.isEnabled());

    ASSERT_TRUE(editor.openFolder(racers("oldracers", {"a.rpk"}, {"a"}) / ""));
    EXPECT_EQ(controls.carList.listCount(), 1) << "a trailing separator does not hide the name";
    EXPECT_TRUE(controls.editingFrame.isEnabled());
}

TEST_F(RacersFolderScan, ARacersFolderWithoutCarFilesIsNotTaken)
{
    ASSERT_TRUE(editor.openFolder(racers("racers", {"notes.txt"}, {"a"})));
    EXPECT_EQ(controls.carList.listCount(), 0);
    EXPECT_FALSE(controls.editingFrame.isEnabled());
}

TEST_F(RacersFolderScan, MovingIntoACarFolderEmptiesTheListAndDisablesEditing)
{
    const fs::path folder = racers("racers", {"a.rpk", "b.rpk", "c.rpk"}, {"a", "b", "c"});
    ASSERT_TRUE(editor.openFolder(folder));
    controls.frontHeight.setValue(7);
    ASSERT_TRUE(editor.openFolder(folder / "a"));
    EXPECT_EQ(controls.carList.listCount(), 0);
    EXPECT_FALSE(controls.editingFrame.isEnabled());
    EXPECT_EQ(controls.frontHeight.value(), 7);
    EXPECT_EQ(editor.carTable().size(), 3);

    ASSERT_TRUE(editor.openFolder(racers("two/racers", {"x.rpk", "y.rpk"}, {"x", "y"})));
    EXPECT_EQ(controls.carList.listCount(), 2);
    EXPECT_EQ(editor.carTable().entry(2), nullptr);
}

TEST_F(RacersFolderScan, AFolderThatCannotBeReadChangesNothing)
{
    const fs::path folder = racers("racers", {"a.rpk"}, {"a"});
    ASSERT_TRUE(editor.openFolder(folder));
    EXPECT_FALSE(editor.openFolder(folder / "missing"));
    EXPECT_EQ(controls.folderChooser.path(), folder);
    EXPECT_EQ(controls.carList.listCount(), 1);
    ASSERT_EQ(messages.captions(), (std::vector<std::string>{"Quendral location"}));
}

TEST(FolderListing, OrdersNamesIgnoringCaseThenByBytes)
{
    std::vector<std::string> names = {"b", "B", "a", "A", "_x", "10", "9"};
    std::sort(names.begin(), names.end(), nameLess);
    EXPECT_EQ(names, (std::vector<std::string>{"10", "9", "_x", "A", "a", "B", "b"}));
    EXPECT_TRUE(isCarFileName("x.RpK"));
    EXPECT_FALSE(isCarFileName(".rpk"));
    EXPECT_FALSE(isCarFileName("rpk"));
}

} // namespace
} // namespace quendral
