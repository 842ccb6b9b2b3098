#include "WindowFixture.h"

#include "windows/DriveList.h"
#include "windows/FolderTree.h"

#include <QComboBox>
#include <QGroupBox>
#include <QListWidget>
#include <QTest>

namespace quendral::test {
namespace {

class FolderChoosers : public WindowFixture
{
protected:
    std::vector<std::string> foldersShown() const
    {
        std::vector<std::string> folders;
        auto* tree = control<FolderTree>("Dir1");
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            folders.push_back(FolderTree::folderOf(*it).string());
        return folders;
    }
};

TEST_F(FolderChoosers, Dir1ShowsTheFolderUnderItsParentsWithItsSubfolders)
{
    ASSERT_TRUE(form->startIn(racers()));
    std::vector<std::string> expected;
    std::filesystem::path built = racers().root_path();
    expected.push_back(built.string());
    for (const auto& piece : racers().relative_path()) {
        built /= piece;
        expected.push_back(built.string());
    }
    for (const char* car : {"falcon_gt", "mistral", "vortex_r"})
        expected.push_back((racers() / car).string());
    EXPECT_EQ(foldersShown(), expected);

    auto* tree = control<FolderTree>("Dir1");
    EXPECT_EQ(tree->currentItem(), tree->itemOf(racers()));
    EXPECT_EQ(tree->itemOf(racers() / "mistral")->parent(), tree->itemOf(racers()));
}

TEST_F(FolderChoosers, OpeningAParentOrASubfolderMovesDir1AndRunsTheScan)
{
    openRacersFolder();
    ASSERT_EQ(carNames().size(), 3u);

    // Into a car folder: not a racers folder, so the list empties.
    doubleClickFolder(racers() / "mistral");
    EXPECT_EQ(form->controls().folderChooser.path(), racers() / "mistral");
    EXPECT_TRUE(carNames().empty());
    EXPECT_FALSE(control<QGroupBox>("Frame3")->isEnabled());
    EXPECT_EQ(control<FolderTree>("Dir1")->folder(), racers() / "mistral");

    // Back up through a parent.
    doubleClickFolder(racers());
    EXPECT_EQ(carNames().size(), 3u);
    EXPECT_TRUE(control<QGroupBox>("Frame3")->isEnabled());
    doubleClickFolder(temp.path());
    EXPECT_TRUE(carNames().empty());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(FolderChoosers, AFolderThatCannotBeOpenedIsReportedAndDir1StaysPut)
{
    std::filesystem::create_directories(temp.path() / "gone");
    ASSERT_TRUE(form->startIn(temp.path()));
    std::filesystem::remove(temp.path() / "gone");
    doubleClickFolder(temp.path() / "gone");
    ASSERT_EQ(messages.captions(), std::vector<std::string>{"Quendral location"});
    EXPECT_NE(messages.shown[0].text.find("gone"), std::string::npos);
    EXPECT_EQ(form->controls().folderChooser.path(), temp.path());
    EXPECT_EQ(control<FolderTree>("Dir1")->currentItem(), control<FolderTree>("Dir1")->itemOf(temp.path()));
}

TEST_F(FolderChoosers, StartingInAFolderScansItOnce)
{
    int scans = 0;
    form->controls().folderChooser.changed.connect([&scans] { ++scans; });
    // As typed on the command line: relative parts and a trailing separator.
    ASSERT_TRUE(form->startIn(racers() / "falcon_gt" / ".." / ""));
    EXPECT_EQ(scans, 1);
    EXPECT_EQ(form->controls().folderChooser.path(), racers());
    EXPECT_EQ(carNames().size(), 3u);
    EXPECT_EQ(form->controls().driveChooser.drive(), DriveList::driveOf(racers()));
    EXPECT_EQ(control<QComboBox>("Drive1")->currentText(), DriveList::displayName(DriveList::driveOf(racers())));
}

TEST_F(FolderChoosers, Drive1ListsTheVolumesWithTheRootFirstAndTheCurrentOneChosen)
{
    auto* drives = control<QComboBox>("Drive1");
    const auto& listed = form->controls().driveChooser.drives();
    ASSERT_EQ(drives->count(), static_cast<int>(listed.size()));
    ASSERT_FALSE(listed.empty());
    EXPECT_EQ(listed.front(), listed.front().root_path());
    const std::filesystem::path current = DriveList::driveOf(std::filesystem::current_path());
    EXPECT_EQ(form->controls().driveChooser.drive(), current);
    EXPECT_EQ(drives->currentText(), DriveList::displayName(current));
}

TEST_F(FolderChoosers, PickingADriveMovesDir1ThereAndRunsTheScan)
{
    openRacersFolder();
    ASSERT_EQ(carNames().size(), 3u);
    // A second drive to start from, so that the root is a change.
    DriveChooser& chooser = form->controls().driveChooser;
    const std::filesystem::path first = chooser.drives().front();
    chooser.setDrives({first, temp.path()});
    chooser.setDrive(temp.path());

    auto* drives = control<QComboBox>("Drive1");
    drives->setFocus();
    QTest::keyClick(drives, Qt::Key_Home);
    EXPECT_EQ(form->controls().driveChooser.drive(), first);
    EXPECT_EQ(form->controls().folderChooser.path(), first);
    EXPECT_TRUE(carNames().empty());
    EXPECT_FALSE(control<QGroupBox>("Frame3")->isEnabled());
}

TEST_F(FolderChoosers, ADriveThatCannotBeReadIsReportedAndBothChoosersStay)
{
    openRacersFolder();
    DriveChooser& chooser = form->controls().driveChooser;
    const std::filesystem::path before = chooser.drive();
    auto drives = chooser.drives();
    drives.push_back(temp.path() / "no-medium");
    chooser.setDrives(drives);
    chooser.setDrive(before);

    auto* combo = control<QComboBox>("Drive1");
    ASSERT_EQ(combo->count(), static_cast<int>(drives.size()));
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_End);
    ASSERT_EQ(messages.captions(), std::vector<std::string>{"Quendral location"});
    EXPECT_EQ(chooser.drive(), before);
    EXPECT_EQ(combo->currentText(), DriveList::displayName(before));
    EXPECT_EQ(form->controls().folderChooser.path(), racers());
    EXPECT_EQ(carNames().size(), 3u);
}

TEST_F(FolderChoosers, ACarWhoseNameIsNotValidTextIsListedAndCanBeRead)
{
    const std::string name = "\xff\xfe" "car";
    makeCar(racers() / name, carScript({"attach    0x000400D0 1    ; v8 blocks"}, "-0.500", "1.000 0.000 1.000 0.000",
                                       "-0.40", "0.000 1.000 1.000 1.000", 15, 17));
    writeBytes(racers() / (name + ".rpk"), "");
    openRacersFolder();
    const auto names = form->controls().carList.items();
    const auto found = std::find(names.begin(), names.end(), name);
    ASSERT_NE(found, names.end());
    const int row = static_cast<int>(found - names.begin());
    EXPECT_EQ(carNames().size(), 4u);
    clickCar(row);
    EXPECT_TRUE(form->controls().engineV8.isChecked());
    EXPECT_TRUE(form->controls().rearDrive.value());
    EXPECT_EQ(form->controls().largestWheel.text(), "17");
    EXPECT_TRUE(messages.shown.empty());
}

} // namespace
} // namespace quendral::test
