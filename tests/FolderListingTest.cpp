#include "catalogue/FolderListing.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace quendral {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> namesOf(const std::vector<fs::path>& paths)
{
    std::vector<std::string> names;
    for (const fs::path& path : paths)
        names.push_back(path.filename().string());
    return names;
}

class ListFolder : public testing::Test
{
protected:
    void file(const std::string& name) { test::writeBytes(folder.path() / name, "x"); }
    void subfolder(const std::string& name) { fs::create_directories(folder.path() / name); }

    FolderContents list()
    {
        FolderContents contents;
        std::string error;
        EXPECT_TRUE(listFolder(folder.path(), contents, error)) << error;
        return contents;
    }

    test::TemporaryFolder folder;
};

TEST_F(ListFolder, SeparatesFilesAndSubfoldersInNameOrderIgnoringCase)
{
    file("b.rpk");
    file("a.rpk");
    file("A.rpk");
    file("Zed.txt");
    subfolder("b");
    subfolder("C");
    subfolder("a");

    const FolderContents contents = list();
    EXPECT_EQ(contents.files, (std::vector<std::string>{"A.rpk", "a.rpk", "b.rpk", "Zed.txt"}));
    EXPECT_EQ(namesOf(contents.subfolders), (std::vector<std::string>{"a", "b", "C"}));
}

TEST_F(ListFolder, GivesSubfoldersAsPathsBelowTheFolder)
{
    subfolder("falcon_gt");
    const FolderContents contents = list();
    ASSERT_EQ(contents.subfolders.size(), 1u);
    EXPECT_EQ(contents.subfolders.front(), folder.path() / "falcon_gt");
}

TEST_F(ListFolder, LeavesOutHiddenEntries)
{
    file(".hidden.rpk");
    file("shown.rpk");
    subfolder(".git");
    subfolder("shown");

    const FolderContents contents = list();
    EXPECT_EQ(contents.files, std::vector<std::string>{"shown.rpk"});
    EXPECT_EQ(namesOf(contents.subfolders), std::vector<std::string>{"shown"});
}

#ifndef _WIN32
TEST_F(ListFolder, CountsALinkAsWhatItPointsToAndLeavesOutABrokenOne)
{
    subfolder("real_folder");
    file("real_file.rpk");
    fs::create_directory_symlink(folder.path() / "real_folder", folder.path() / "linked_folder");
    fs::create_symlink(folder.path() / "real_file.rpk", folder.path() / "linked_file.rpk");
    fs::create_symlink(folder.path() / "nowhere", folder.path() / "broken.rpk");

    const FolderContents contents = list();
    EXPECT_EQ(contents.files, (std::vector<std::string>{"linked_file.rpk", "real_file.rpk"}));
    EXPECT_EQ(namesOf(contents.subfolders), (std::vector<std::string>{"linked_folder", "real_folder"}));
}
#endif

TEST(ListFolderFailure, AMissingFolderIsReportedAndTheContentsKept)
{
    test::TemporaryFolder folder;
    FolderContents contents;
    contents.files = {"kept.rpk"};
    std::string error;
    EXPECT_FALSE(listFolder(folder.path() / "missing", contents, error));
    EXPECT_EQ(error, "No such file or directory");
    EXPECT_EQ(contents.files, std::vector<std::string>{"kept.rpk"});
}

TEST(ListFolderFailure, AFileIsNotAFolder)
{
    test::TemporaryFolder folder;
    test::writeBytes(folder.path() / "plain.txt", "x");
    FolderContents contents;
    std::string error;
    EXPECT_FALSE(listFolder(folder.path() / "plain.txt", contents, error));
    EXPECT_EQ(error, "Not a directory");
}

} // namespace
} // namespace quendral
