#include "carscript/CarFiles.h"
#include "carscript/FileSystem.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#ifdef __linux__
#include <sys/stat.h>
#endif

#include <filesystem>
#include <string>

namespace quendral {
namespace {

std::string everyByteRepeated(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xff);
    return bytes;
}

class ReadFile : public testing::TestWithParam<std::size_t>
{
protected:
    test::TemporaryFolder folder;
};

TEST_P(ReadFile, GivesBackEveryByteOfTheFile)
{
    const std::filesystem::path path = folder.path() / "_main_.cfg";
    const std::string bytes = everyByteRepeated(GetParam());
    test::writeBytes(path, bytes);

    std::string data = "left over";
    std::string error;
    ASSERT_TRUE(FileSystem::real().readFile(path, data, error, LargestCarScript)) << error;
    EXPECT_EQ(data.size(), bytes.size());
    EXPECT_TRUE(data == bytes);
}

// Empty, tiny, around the 64 KB steps of a file whose size is not known, and
// large enough to be given huge pages.
INSTANTIATE_TEST_SUITE_P(Sizes, ReadFile,
                         testing::Values(0, 1, 2, 4095, 65535, 65536, 65537, 1u << 20,
                                         9u * 1024 * 1024 + 3));

TEST(ReadFileFailure, AMissingFileIsReportedAndTheDataKept)
{
    test::TemporaryFolder folder;
    std::string data = "unchanged";
    std::string error;
    EXPECT_FALSE(FileSystem::real().readFile(folder.path() / "missing.cfg", data, error, LargestCarScript));
    EXPECT_EQ(error, "No such file or directory");
    EXPECT_EQ(data, "unchanged");
}

TEST(ReadFileFailure, AFolderIsReportedAndTheDataKept)
{
    test::TemporaryFolder folder;
    std::string data = "unchanged";
    std::string error;
    EXPECT_FALSE(FileSystem::real().readFile(folder.path(), data, error, LargestCarScript));
    EXPECT_EQ(error, "Is a directory");
    EXPECT_EQ(data, "unchanged");
}

#ifdef __linux__
TEST(ReadFileFailure, APipeIsRefusedWithoutWaitingForAWriter)
{
    test::TemporaryFolder folder;
    const auto pipe = folder.path() / "_main_.cfg";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    std::string data = "unchanged";
    std::string error;
    EXPECT_FALSE(FileSystem::real().readFile(pipe, data, error, LargestCarScript));
    EXPECT_EQ(error, "not a regular file");
    EXPECT_EQ(data, "unchanged");
}

// A file that reports no size but has bytes is read to its end, as far as
// the limit.
TEST(ReadFileUnknownSize, ReadsAFileThatReportsNoSize)
{
    std::string data;
    std::string error;
    ASSERT_TRUE(FileSystem::real().readFile("/proc/self/cmdline", data, error, LargestCarScript)) << error;
    ASSERT_FALSE(data.empty());
    EXPECT_NE(data.find("core_tests"), std::string::npos);

    std::string kept = "unchanged";
    EXPECT_FALSE(FileSystem::real().readFile("/proc/self/cmdline", kept, error, 4));
    EXPECT_EQ(error, "it grew past the limit of 4 bytes while it was read");
    EXPECT_EQ(kept, "unchanged");
}

TEST(SaveLock, KeepsOutASecondTakerUntilItIsLetGo)
{
    using namespace std::chrono_literals;
    test::TemporaryFolder folder;
    const auto path = folder.path() / "._main_.cfg.lock";
    std::string error;
    auto held = FileSystem::real().lock(path, 0ms, error);
    ASSERT_TRUE(held) << error;
    EXPECT_FALSE(FileSystem::real().lock(path, 50ms, error));
    EXPECT_EQ(error, "another process has held it for more than 50 milliseconds");
    held.reset();
    EXPECT_TRUE(FileSystem::real().lock(path, 0ms, error)) << error;

    // A link in its place is not followed to make a file elsewhere.
    const auto link = folder.path() / "linked.lock";
    std::filesystem::create_symlink(folder.path() / "elsewhere", link);
    EXPECT_FALSE(FileSystem::real().lock(link, 0ms, error));
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "elsewhere"));
}
#endif

} // namespace
} // namespace quendral
