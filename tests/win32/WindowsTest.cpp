// What only Windows can show: drive letters and backslashes, names that
// differ in case on a file system that ignores it, hidden attributes, and a
// save over scripts that are read-only or held open by another program, the
// version it replaces kept in the history beside a backup of its own.
#include "app/cli/CarTool.h"
#include "app/cli/Command.h"
#include "carscript/CarFiles.h"
#include "carscript/FileSystem.h"
#include "catalogue/FolderListing.h"
#include "Support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <sstream>

#include <windows.h>
#include <shellapi.h>

namespace quendral {
namespace {

namespace fs = std::filesystem;

// A game folder below a name that the system's code page cannot hold,
// with one car whose folder differs in case from its car file, and hidden
// files and folders beside it.
class WindowsGame : public ::testing::Test
{
protected:
    void SetUp() override
    {
        game = temporary.path() / pathFromText("Quendral Zo\xC3\xAB");
        racers = game / "cars" / "racers";
        car = racers / "FALCON_GT";
        original = test::readBytes(carScriptPath(fs::path(QUENDRAL_EXAMPLES_DIR) / "falcon_gt"));
        test::makeCar(car, original);
        fs::create_directories(game / "cars" / "other");
        for (const char* name : {"falcon_gt.rpk", ".dotted.rpk", "attribute.rpk"})
            test::writeBytes(racers / name, "");
        fs::create_directories(racers / ".dotted");
        fs::create_directories(racers / "attribute");
        for (const char* name : {"attribute.rpk", "attribute"})
            addAttributes(racers / name, FILE_ATTRIBUTE_HIDDEN);
    }

    static void addAttributes(const fs::path& path, DWORD attributes)
    {
        ASSERT_TRUE(SetFileAttributesW(path.c_str(), GetFileAttributesW(path.c_str()) | attributes));
    }

    struct Run
    {
        int status;
        std::string out;
        std::string err;
    };

    Run run(const fs::path& in, const std::vector<std::string>& arguments)
    {
        const fs::path before = fs::current_path();
        fs::current_path(in);
        std::ostringstream out;
        std::ostringstream err;
        const int status = runCarTool(arguments, out, err, FileSystem::real());
        fs::current_path(before);
        return {status, out.str(), err.str()};
    }

    // A path as `list` prints it, its backslashes doubled.
    static std::string printed(const fs::path& path)
    {
        std::string text;
        for (const char c : path.string())
            text += c == '\\' ? std::string("\\\\") : std::string(1, c);
        return text;
    }

    test::TemporaryFolder temporary;
    fs::path game;
    fs::path racers;
    fs::path car;
    std::string original;
};

// Only `list` doubles backslashes: messages, check and diff headers print
// paths as Windows writes them.
TEST_F(WindowsGame, PathsWithDrivesAndBackslashesReachTheCarWhateverTheirCase)
{
    const std::string listed = "falcon_gt\t" + printed(car) + "\n";
    const std::string racersText = racers.string();
    std::string forward = racersText;
    std::replace(forward.begin(), forward.end(), '\\', '/');
    const std::string missing = (racers / "gone").string();
    const struct
    {
        const char* in;
        std::vector<std::string> arguments;
        int status;
        std::string said; // all of standard output, or else a part of what is printed
        bool whole;
    } rows[] = {
        {"cars\\other", {"list", "..\\racers"}, 0, listed, true},
        {"", {"list", racersText + "\\"}, 0, listed, true},
        {"cars", {"list", forward}, 0, listed, true},
        {"cars", {"list", "RACERS"}, 0, "falcon_gt\t" + printed(game / "cars" / "RACERS" / "FALCON_GT") + "\n", true},
        {"cars\\racers", {"show", "falcon_gt\\"}, 0, "engines: I4 V6\ndrive: front\nfront: 10\nrear: 7\nmin: 15\nmax: 18\n", true},
        {"cars\\racers", {"show", "gone"}, 1, missing, false},
        {"", {"check", missing}, 1, missing + ": ", false},
        {"", {"set", car.string(), "--front", "25", "--dry-run"}, 0, "--- " + carScriptPath(car).string(), false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments.front() + " " + row.arguments[1]);
        const Run result = run(game / row.in, row.arguments);
        EXPECT_EQ(result.status, row.status) << result.err;
        const std::string said = result.out + result.err;
        if (row.whole)
            EXPECT_EQ(result.out, row.said) << result.err;
        else
            EXPECT_TRUE(said.find(row.said) != std::string::npos && said.find("\\\\") == std::string::npos)
                << said;
    }
}

TEST(WindowsCommandLine, AQuotedFolderMayEndInABackslash)
{
    const struct
    {
        const wchar_t* line;
        std::vector<std::wstring> words;
    } rows[] = {
        {LR"(q list "C:\My Games\racers\")", {L"list", LR"(C:\My Games\racers\)"}},
        {LR"(q set "C:\a b\racers\x\" --front 3)", {L"set", LR"(C:\a b\racers\x\)", L"--front", L"3"}},
        {LR"(q list "C:\racers\\" C:\b\ "a\"b")", {L"list", LR"(C:\racers\)", LR"(C:\b\)", LR"(a"b)"}},
    };
    for (const auto& row : rows) {
        int count = 0;
        const std::shared_ptr<wchar_t*> words(
            CommandLineToArgvW(cli::withFinalBackslashesKept(row.line).c_str(), &count), LocalFree);
        ASSERT_TRUE(words);
        EXPECT_EQ(std::vector<std::wstring>(words.get() + 1, words.get() + count), row.words) << row.line;
    }
}

TEST_F(WindowsGame, EntriesWithTheHiddenAttributeOrALeadingDotAreHidden)
{
    FolderContents contents;
    std::string error;
    ASSERT_TRUE(listFolder(FileSystem::real(), racers, contents, error)) << error;
    EXPECT_EQ(contents.files, (std::vector<std::string>{"falcon_gt.rpk"}));
    EXPECT_EQ(contents.subfolders, (std::vector<std::string>{fileNameOf(car)}));
}

// The file a name stands for, as the volume numbers it, and how many names
// it has.
std::pair<std::uint64_t, DWORD> fileIdentity(const fs::path& path)
{
    const std::shared_ptr<void> file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr),
                                     CloseHandle);
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file.get(), &information))
        return {0, 0};
    return {(std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow,
            information.nNumberOfLinks};
}

// Each save ends whole or not at all: the new script in place, the old one
// kept in the history and in a backup that is a file of its own; or a message
// and the old script as it was, with no history left by the failed save;
// never a temporary file left beside them.
TEST_F(WindowsGame, ASaveReplacesTheScriptOrLeavesItUntouched)
{
    const auto holdOpen = [](DWORD sharing, fs::path (*file)(const fs::path&)) {
        return [sharing, file](const fs::path& car) {
            return std::shared_ptr<void>(CreateFileW(file(car).c_str(), GENERIC_READ, sharing, nullptr,
                                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr),
                                         CloseHandle);
        };
    };
    const auto addToScript = [](DWORD attributes) {
        return [attributes](const fs::path& car) {
            addAttributes(carScriptPath(car), attributes);
            return std::shared_ptr<void>();
        };
    };
    const fs::path script = carScriptPath(car);
    const fs::path backup = backupScriptPath(car);
    const fs::path history = historyFolderPath(car);
    const std::string refused = "Save file: The car \"FALCON_GT\" was not saved: ";
    const struct
    {
        const char* name;
        std::function<std::shared_ptr<void>(const fs::path&)> before;
        std::string message;      // empty: saved
        DWORD attributes;         // those the script has after the save
        bool historyLeft;         // after a failed save: kept, since the backup was replaced
    } rows[] = {
        {"over the script", addToScript(0), "", 0, true},
        {"hidden", addToScript(FILE_ATTRIBUTE_HIDDEN), "", FILE_ATTRIBUTE_HIDDEN, true},
        {"read-only", addToScript(FILE_ATTRIBUTE_READONLY),
         refused + "its car script " + script.string() + " is read-only. Its car script is unchanged.",
         FILE_ATTRIBUTE_READONLY, false},
        {"held open, its removal not shared", holdOpen(FILE_SHARE_READ | FILE_SHARE_WRITE, carScriptPath),
         refused + "the new car script cannot be written (", 0, true},
        {"held open, nothing shared", holdOpen(0, carScriptPath),
         "Read car: The car script of \"FALCON_GT\" cannot be read: " + script.string() + ": ", 0, false},
        {"its backup held open, its removal not shared", holdOpen(FILE_SHARE_READ | FILE_SHARE_WRITE, backupScriptPath),
         refused + "the backup " + backup.string() + " cannot be written (", 0, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SetFileAttributesW(script.c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(history);
        test::writeBytes(script, original);
        test::writeBytes(backup, original);
        std::shared_ptr<void> held = row.before(car);
        const Run result = run(game, {"set", car.string(), "--front", "25"});
        held.reset();

        const std::string now = test::readBytes(script);
        if (row.message.empty()) {
            EXPECT_EQ(result.status, 0) << result.err;
            EXPECT_NE(now.find("suspension    -0.800 "), std::string::npos);
            EXPECT_EQ(test::readBytes(backupScriptPath(car)), original);
        } else {
            EXPECT_EQ(result.status, 1);
            EXPECT_NE(result.err.find(row.message), std::string::npos) << result.err;
            EXPECT_EQ(now, original);
        }
        const bool kept = row.message.empty() || row.historyLeft;
        EXPECT_EQ(test::historyContents(car), kept ? std::vector<std::string>{original} : std::vector<std::string>{});
        if (kept) {
            const fs::path entry = fs::directory_iterator(history)->path();
            EXPECT_NE(fileIdentity(backup).first, fileIdentity(entry).first) << entry;
            EXPECT_EQ(fileIdentity(entry).second, 1u);
            EXPECT_EQ(fileIdentity(backup).second, 1u);
        }
        const DWORD attributes = GetFileAttributesW(script.c_str());
        EXPECT_EQ(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY), row.attributes);
        std::error_code missing;
        for (const fs::path& folder : {script.parent_path(), history})
            for (const auto& entry : fs::directory_iterator(folder, missing))
                EXPECT_EQ(entry.path().filename().string().find(".new-"), std::string::npos) << entry.path();
    }
}

TEST_F(WindowsGame, TheSaveLockKeepsOutASecondHolderUntilItIsLetGo)
{
    std::string error;
    auto first = FileSystem::real().lock(saveLockPath(car), std::chrono::milliseconds(0), error);
    ASSERT_TRUE(first) << error;
    EXPECT_FALSE(FileSystem::real().lock(saveLockPath(car), std::chrono::milliseconds(100), error));
    EXPECT_EQ(error, "another process has held it for more than 100 milliseconds");
    first.reset();
    EXPECT_TRUE(FileSystem::real().lock(saveLockPath(car), std::chrono::milliseconds(0), error)) << error;
}

} // namespace
} // namespace quendral
