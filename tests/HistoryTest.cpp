// The versions every save keeps, as the command line and the editor show,
// compare and restore them.

#include "app/cli/CarTool.h"
#include "carscript/CarFiles.h"
#include "carscript/FileSystem.h"
#include "controls/EditingControls.h"
#include "editor/EditorSession.h"
#include "history/LineDiff.h"
#include "history/ScriptHistory.h"
#include "Support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <map>
#include <regex>
#include <sstream>
#include <sys/stat.h>

namespace quendral {
namespace {

namespace fs = std::filesystem;

// Runs in this order over a copy of the demo cars; mistral has a backup an
// older editor left, dated 3 February 2001. "{r}" stands for the racers
// folder; `out` and `err` are searched as regular expressions. A run that
// does not save must leave every file as it was, down to its time. Before
// the run, `file` (in the racers folder) is written in place with `bytes`,
// as an older editor does, or removed when they are null.
struct ToolRun
{
    std::vector<std::string> arguments;
    int status;
    std::string out, err;
    bool writes = false;
    const char* file = nullptr;
    const char* bytes = nullptr;
};

const ToolRun Runs[] = {
    {{"history", "falcon_gt"}, 0, "^current {14}[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9:]{8} {4}1,761 bytes  engines: I4 V6 · drive: front · front: 10 · rear: 7 · min: 15 · max: 18\n$", "^$"},
    {{"diff", "falcon_gt"}, 1, "^$", "^History: The car \"falcon_gt\" has no backup yet"},
    {{"restore", "falcon_gt", "original"}, 1, "^$", "has no history yet"},
    {{"set", "falcon_gt", "--front", "12"}, 0, "^$", "^$", true},
    {{"diff", "falcon_gt", "2"}, 1, "", "has no version 2: its history holds 1 version, the oldest its original\\.\n$"},
    {{"set", "falcon_gt", "--engines", "V8", "--drive", "rear"}, 0, "", "", true},
    {{"set", "falcon_gt", "--min", "16", "--max", "20"}, 0, "", "", true},
    {{"set", "falcon_gt", "--min", "16", "--max", "20"}, 0, "", "", true},  // the same bytes: no entry
    {{"history", "falcon_gt"}, 0,
     "^current \\(backup\\)  .*engines: V8 · drive: rear · front: 12 · rear: 7 · min: 16 · max: 20\n"
     "1  .*engines: V8 · drive: rear · front: 12 · rear: 7 · min: 15 · max: 18\n"
     "2  .*engines: I4 V6 · drive: front · front: 12 .*\n"
     "3 \\(original\\)  .*  1,761 bytes  engines: I4 V6 · drive: front · front: 10 .*\n$", ""},
    {{"diff", "falcon_gt", "3", "2"}, 0,
     "^--- {r}/falcon_gt/scripts/_main_history/_main_\\.[0-9]{8}T[0-9]{6}\\.[0-9]{3}Z\\.original\\.cfg\t3 \\(original\\)\n"
     "\\+\\+\\+ .*/_main_\\.[0-9T.]*Z\\.cfg\t2\n@@ -6,7 \\+6,7 @@\n(.*\n){3}-ext_camera  95 .*\n\\+ext_camera  120 ", ""},
    {{"diff", "falcon_gt", "4"}, 1, "", "has no version 4: its history holds 3 versions, the oldest its original\\.\n$"},
    {{"diff", "falcon_gt", "foo"}, 2, "", "unknown version \"foo\".*\nusage:"},
    {{"diff", "falcon_gt", "99999999999"}, 1, "^$", "has no version 99999999999: its history holds"},
    {{"diff", "falcon_gt", "1", "2", "3"}, 2, "", "diff takes at most two versions"},
    {{"restore", "falcon_gt", "current"}, 1, "", "nothing to restore"},
    {{"restore", "falcon_gt", "original"}, 0, "^$", "^$", true},
    {{"diff", "falcon_gt", "original", "current"}, 0, "^$", "^$"},
    {{"history", "falcon_gt"}, 0, "^current .* 1,761 bytes.*\n1 \\(backup\\) .*min: 16 · max: 20\n2 .*\n3 .*\n4 \\(original\\) ", ""},
    {{"diff", "falcon_gt"}, 1, "^$", "^History: The backup of the car \"falcon_gt\" is missing; version 1 holds what the last save replaced\\.\n$",
     false, "falcon_gt/scripts/_main_backup.cfg"},
    // A deleted script comes back, with nothing to keep and no backup made.
    {{"restore", "falcon_gt", "2"}, 0, "^$", "^$", true, "falcon_gt/scripts/_main_.cfg"},
    {{"history", "falcon_gt"}, 0, "^current .*engines: V8 · drive: rear · front: 12 · rear: 7 · min: 15 .*\n1  .*\n2  .*\n3  .*\n4 \\(original\\) .*\n$", ""},
    {{"restore", "falcon_gt", "original"}, 0, "^$", "^$", true},
    {{"history", "mistral"}, 0, "^current .*\nbackup  .*  28 bytes  engines: none .*\n$", ""},
    {{"set", "mistral", "--front", "5", "--dry-run"}, 0,
     "^--- {r}/mistral/scripts/_main_\\.cfg\tcurrent\n\\+\\+\\+ {r}/mistral/scripts/_main_\\.cfg\tafter the "
     "save\n@@ -6,7 \\+6,7 @@\n", "^$"},
    {{"set", "mistral", "--min", "12", "--dry-run"}, 0, "\n\\+attach      0x00040100 1 ; 14\r\n",
     "mistral: Min size: Minimum wheelsize is 14 inch"},
    {{"set", "nowhere", "--dry-run"}, 1, "^$", "Read car: "},
    {{"set", "mistral", "--min=", "--dry-run"}, 1, "^$", "mistral: Min size: "},
    {{"history", "nowhere"}, 1, "^$", "^Read car: The car script of \"nowhere\" cannot be read: "},
    {{"set", "mistral", "--front", "5"}, 0, "", "", true},
    {{"history", "mistral"}, 0, "^current .*\n1 \\(backup\\) .*\n2 \\(original\\) +2001-02-0[234] .*engines: none", ""},
    {{"history", "mistral", "--format", "json"}, 0,
     "^\\[\n\\{\"version\":\"current\",\"marks\":\\[\\],\"time\":\"20[0-9-]{8}T[0-9:]{8}\\.[0-9]{3}Z\",\"size\":[0-9]+,"
     "\"settings\":\\{\"I4\":false,\"V6\":true,\"V8\":true,\"V10\":true,\"drive\":\"rear\",\"front\":5,\"rear\":3,\"min\":\"16\",\"max\":\"20\"\\}\\},\n.*\"marks\":\\[\"backup\"\\].*\n"
     "\\{\"version\":\"2\",\"marks\":\\[\"original\"\\],\"time\":\"2001-02-0[234]T", "^$"},
    // An older editor's save wrote its backup in place: the version the
    // history kept stays, and the next save keeps that backup too.
    {{"set", "mistral", "--front", "6"}, 0, "", "", true, "mistral/scripts/_main_backup.cfg", "; another editor's backup\r\n"},
    {{"history", "mistral"}, 0, "^current .*front: 6 .*\n1 \\(backup\\) .*front: 5 .*\n2  .*  27 bytes  engines: none .*\n"
     "3  .*engines: V6 V8 V10 · drive: rear · front: 3 .*\n4 \\(original\\) +2001-02-0[234] .*  28 bytes", ""},
    {{"help", "restore"}, 0, "Usage: quendral-car restore \\[OPTIONS\\] \\[CAR_FOLDER\\] \\[VERSION...\\]", ""},
    {{"restore", "mistral", "original"}, 0, "^$", "^$", true},
    {{"set", "mistral", "--min", "15", "--max", "18", "--dry-run"}, 1, "",
     "/mistral: Preview changes: The car \"mistral\" would be saved, but its car script could not take every "
     "setting: smallest wheel size 15 "},
};

using Snapshot = std::map<fs::path, std::pair<std::string, fs::file_time_type>>;

Snapshot snapshot(const fs::path& folder)
{
    Snapshot files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
        files[entry.path()] = {entry.is_regular_file() ? test::readBytes(entry.path()) : "", entry.last_write_time()};
    return files;
}

class History : public testing::Test
{
protected:
    History()
    {
        fs::copy(QUENDRAL_EXAMPLES_DIR, racers, fs::copy_options::recursive);
        test::writeBytes(backupScriptPath(racers / "mistral"), "; an older editor's backup\r\n");
        fs::last_write_time(backupScriptPath(racers / "mistral"),
                            std::chrono::file_clock::from_sys(std::chrono::sys_seconds{std::chrono::sys_days{
                                std::chrono::year{2001} / 2 / 3}} + std::chrono::hours{12}));
        startedIn = fs::current_path();
        fs::current_path(racers);
    }
    ~History() override { fs::current_path(startedIn); }

    int run(const std::vector<std::string>& arguments, std::string& out, std::string& err)
    {
        std::ostringstream printed, told;
        const int status = runCarTool(arguments, printed, told, FileSystem::real());
        out = printed.str();
        err = told.str();
        return status;
    }

    test::TemporaryFolder temporary;
    fs::path racers = temporary.path() / "racers";
    fs::path startedIn;
};

TEST_F(History, EachRunExitsAndPrintsAsExpected)
{
    const std::string original = test::readBytes(carScriptPath(racers / "falcon_gt"));
    for (const ToolRun& r : Runs) {
        SCOPED_TRACE(testing::PrintToString(r.arguments));
        if (r.file)
            r.bytes ? test::writeBytes(racers / r.file, r.bytes) : void(fs::remove(racers / r.file));
        const Snapshot before = snapshot(racers);
        std::string out, err;
        EXPECT_EQ(run(r.arguments, out, err), r.status) << err;
        for (const auto& [printed, expected] : {std::pair{out, r.out}, std::pair{err, r.err}}) {
            const std::string pattern = std::regex_replace(expected, std::regex("\\{r\\}"), racers.string());
            EXPECT_TRUE(std::regex_search(printed, std::regex(pattern))) << printed << "\ndoes not match\n" << pattern;
        }
        if (!r.writes) {
            EXPECT_TRUE(snapshot(racers) == before) << "a file was written";
        }
    }
    EXPECT_EQ(test::readBytes(carScriptPath(racers / "falcon_gt")), original);
}

// What --dry-run prints, applied by `patch` to the script as it is (CR LF),
// gives the very bytes the save then writes.
TEST_F(History, TheDryRunDiffPatchedIsWhatSetWrites)
{
    for (const std::vector<std::string>& changes : {std::vector<std::string>{"falcon_gt", "--engines", "none", "--drive", "all"},
                                                   {"mistral", "--front", "0", "--rear", "30", "--min", "17"},
                                                   {"vortex_r", "--engines", "I4,V10", "--max", "17"}}) {
        SCOPED_TRACE(changes.front());
        const fs::path work = temporary.path() / changes.front();
        test::writeBytes(work / "script", test::readBytes(carScriptPath(racers / changes.front())));
        std::vector<std::string> arguments = {"set"};
        arguments.insert(arguments.end(), changes.begin(), changes.end());
        arguments.push_back("--dry-run");
        std::string diff, err;
        ASSERT_EQ(run(arguments, diff, err), 0) << err;
        test::writeBytes(work / "diff", diff);
        ASSERT_EQ(std::system(("patch -s '" + (work / "script").string() + "' < '" + (work / "diff").string() + "'").c_str()), 0);
        arguments.pop_back();
        ASSERT_EQ(run(arguments, diff, err), 0) << err;
        EXPECT_EQ(test::readBytes(work / "script"), test::readBytes(carScriptPath(racers / changes.front())));
    }
}

// The backup is a file of its own. Entries from another machine, three of
// them dated in the future, are pruned to the 50 newest and the original;
// each new one sorts after them all and is kept.
TEST_F(History, TheBackupIsAFileOfItsOwnAndNewEntriesSortAfterAllOthers)
{
    const fs::path car = racers / "vortex_r";
    fs::permissions(carScriptPath(car), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const auto planted = [](int i) { return HistoryTime{std::chrono::hours{i < 52 ? i : 1'000'000 + i}}; };
    for (int i = 0; i < 55; ++i)
        test::writeBytes(historyFolderPath(car) / historyEntryName(planted(i), 1, i == 0), "old");
    test::RecordingMessages messages;
    EditingControls controls(messages);
    EditorSession editor(controls, messages, FileSystem::real());
    editor.pickCarFolder(car);
    for (int round = 1; round <= 2; ++round) {
        ASSERT_TRUE(editor.loadSelectedCar());
        const std::string replaced = test::readBytes(carScriptPath(car));
        controls.frontHeight.setValue(controls.frontHeight.value() + 1);
        ASSERT_TRUE(editor.save());
        std::vector<HistoryEntry> entries;
        std::string error;
        ASSERT_TRUE(readHistory(FileSystem::real(), car, entries, error));
        ASSERT_EQ(entries.size(), KeptVersions + 1);
        EXPECT_TRUE(entries.back().original && entries.back().time == HistoryTime{});
        EXPECT_EQ(entries[KeptVersions - 1].time, planted(5 + round));
        EXPECT_EQ(entries[static_cast<std::size_t>(round)].time, planted(54));
        EXPECT_EQ(test::readBytes(entries.front().path), replaced);
        EXPECT_EQ(test::readBytes(backupScriptPath(car)), replaced);
#ifndef _WIN32
        // Windows has no modes; its backups are seen in tests/win32.
        struct stat entry{}, backup{};
        ASSERT_EQ(stat(entries.front().path.c_str(), &entry) | stat(backupScriptPath(car).c_str(), &backup), 0);
        EXPECT_TRUE(entry.st_ino != backup.st_ino && entry.st_nlink == 1 && backup.st_nlink == 1);
        EXPECT_EQ(entry.st_mode & 0777, 0640u);
#endif
    }
}

// An older editor's save leaves a backup of the same size as the script or
// as the newest entry (a ride height of one digit changed for another): it
// is kept all the same, since its bytes differ.
TEST_F(History, ABackupOfTheSameSizeAsWhatItIsComparedWithIsKeptWhenItDiffers)
{
    const fs::path car = racers / "vortex_r";
    test::RecordingMessages messages;
    EditingControls controls(messages);
    EditorSession editor(controls, messages, FileSystem::real());
    editor.pickCarFolder(car);
    // The first save makes an entry; each later one finds a backup a byte
    // apart from the file named, a different byte each time.
    const std::pair<fs::path, std::size_t> rounds[] = {{}, {carScriptPath(car), 3}, {backupScriptPath(car), 4}};
    for (const auto& [sameSize, flipped] : rounds) {
        ASSERT_TRUE(editor.loadSelectedCar());
        std::string older;
        if (!sameSize.empty()) {
            older = test::readBytes(sameSize);
            older[older.size() / flipped] ^= 1;
            test::writeBytes(backupScriptPath(car), older);
        }
        controls.frontHeight.setValue(controls.frontHeight.value() % 9 + 1);
        ASSERT_TRUE(editor.save());
        std::vector<HistoryEntry> entries;
        std::string error;
        ASSERT_TRUE(readHistory(FileSystem::real(), car, entries, error));
        if (!sameSize.empty()) {
            EXPECT_EQ(test::readBytes(entries.at(1).path), older) << sameSize;
        }
    }
}

// A history folder that cannot be written stops the save before anything
// changes, the clean-up of killed saves' leftovers through a link too.
TEST_F(History, ASaveWhoseHistoryCannotBeWrittenChangesNothing)
{
    const fs::path car = racers / "mistral", elsewhere = racers / "elsewhere";
    test::writeBytes(elsewhere / "._main_.20261207T120000.000Z.cfg.new-0a1b2c3d4e5f", "a user's file");
    test::writeBytes(saveLockPath(car), "");
    for (const bool link : {false, true}) {
        fs::remove(historyFolderPath(car));
        std::error_code noLinks;
        if (!link)
            test::writeBytes(historyFolderPath(car), "a file in the way");
        else if (fs::create_directory_symlink(elsewhere, historyFolderPath(car), noLinks); noLinks)
            continue;  // under Wine, which makes none
        const Snapshot before = snapshot(racers);
        std::string out, err;
        EXPECT_EQ(run({"set", "mistral", "--front", "3"}, out, err), 1);
        EXPECT_NE(err.find("mistral: Save file: The car \"mistral\" was not saved: its history folder " +
                           historyFolderPath(car).string() + (link ? " is a symbolic link, which is not followed" : " is not a folder")
                           + ". Its car script is unchanged."), std::string::npos) << err;
        EXPECT_TRUE(snapshot(racers) == before);
    }
}

// A save clears the replacements its killed predecessors left, and only
// those; a save lock that cannot be had for another reason than the folder's
// mode is not called read-only.
TEST_F(History, ASaveClearsOnlyItsOwnLeftoversAndSaysWhyItsLockCannotBeHad)
{
    const fs::path scripts = carScriptPath(racers / "mistral").parent_path();
    const fs::path leftover = scripts / "._main_.cfg.new-09af09af09af";
    const fs::path history = historyFolderPath(racers / "mistral");
    const fs::path entryLeftover = history / "._main_.20261207T120000.000Z.cfg.new-0a1b2c3d4e5f";
    for (const fs::path& path : {leftover, scripts / "._main_.cfg.new-09af09af09ag", scripts / "._main_.cfg.new-09af",
                                 entryLeftover, history / "._main_.cfg.new-0a1b2c3d4e5f"})
        test::writeBytes(path, "a killed save's or a user's file");
    std::string out, err;
    EXPECT_EQ(run({"set", "mistral", "--front", "3"}, out, err), 0) << err;
    EXPECT_EQ(std::distance(fs::directory_iterator(scripts), {}), 6) << "left over: " << fs::exists(leftover);
    EXPECT_FALSE(fs::exists(entryLeftover));
    EXPECT_TRUE(fs::exists(history / "._main_.cfg.new-0a1b2c3d4e5f"));
    fs::create_directory(saveLockPath(racers / "vortex_r"));
    EXPECT_EQ(run({"set", "vortex_r", "--front", "3"}, out, err), 1);
    EXPECT_NE(err.find("its save lock " + saveLockPath(racers / "vortex_r").string() + " cannot be had ("), std::string::npos)
        << err;
}

// Unified diffs as `diff -u` writes them, line ends compared apart.
TEST(LineDiffs, AreUnifiedWithThreeLinesOfContextAndLineEndsApart)
{
    const std::string ten = "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n";
    std::string many;  // more lines than the numbering's first table holds
    for (int line = 1; line <= 3000; ++line)
        many += std::to_string(line) + "\n";
    const std::tuple<std::string, std::string, std::string> rows[] = {
        {many, std::regex_replace(many, std::regex("\n1500\n"), "\nx\n"),
         "--- x\n+++ y\n@@ -1497,7 +1497,7 @@\n 1497\n 1498\n 1499\n-1500\n+x\n 1501\n 1502\n 1503\n"},
        {ten, ten, ""},
        {ten, std::regex_replace(ten, std::regex("\n"), "\r\n"), "line ends: LF → CR LF\n"},
        {"a\nb", "a\r\nb\r\n", "line ends: LF, none after the last line → CR LF\n"},
        {"", "a\nb\n", "--- x\n+++ y\n@@ -0,0 +1,2 @@\n+a\n+b\n"},
        {ten, "0\n" + ten.substr(0, 18) + "x\n", "--- x\n+++ y\n@@ -1,3 +1,4 @@\n+0\n 1\n 2\n 3\n@@ -7,4 +8,4 @@\n 7\n 8\n 9\n-10\n+x\n"},
        {ten, "1\n2\nx\n4\n5\n6\n7\n8\ny\n10\n", "--- x\n+++ y\n@@ -1,10 +1,10 @@\n 1\n 2\n-3\n+x\n 4\n 5\n 6\n 7\n 8\n-9\n+y\n 10\n"},
    };
    for (const auto& [from, to, expected] : rows)
        EXPECT_EQ(unifiedText(diffLines(from, to), "x", "y"), expected) << from << "→\n" << to;
    // Cancelled before it starts: nothing, not even the first line's change.
    const std::atomic<bool> cancelled{true};
    EXPECT_TRUE(diffLines("a\n", "b\n", &cancelled).lines.empty());
    // With line ends kept, as `set --dry-run` shows a save.
    EXPECT_EQ(unifiedText(diffLinesWithEnds("a\nb", "a\nc"), "x", "y"),
              "--- x\n+++ y\n@@ -1,2 +1,2 @@\n a\n-b\n\\ No newline at end of file\n+c\n\\ No newline at end of file\n");
}

TEST(HistoryNames, SortByTimeAndAreReadBackOnlyInTheirOwnForm)
{
    const HistoryTime time{std::chrono::milliseconds{1796656991482}};
    EXPECT_EQ(historyEntryName(time, 1, false), "_main_.20261207T152311.482Z.cfg");
    for (const auto& [sequence, original] : {std::pair{1, true}, {2, false}, {3, true}}) {
        const auto entry = historyEntryOf(historyEntryName(time, sequence, original));
        ASSERT_TRUE(entry);
        EXPECT_EQ(std::tie(entry->time, entry->sequence, entry->original), std::tie(time, sequence, original));
    }
    EXPECT_TRUE(historyEntryOf("_main_.20261231T235959.999Z.cfg"));
    for (const char* name : {"_main_.20261207T152311.482Z-1.cfg", "_main_.20261207T152311.482Z-02.cfg",
                             "_main_.20261307T154311.482Z.cfg", "_main_.20261207T152311.482.cfg", "_main_.cfg",
                             "_main_.20261207T240000.000Z.cfg", "_main_.20261207T156000.000Z.cfg",
                             "_main_.20261207T155960.000Z.cfg", "_main_.20261207Tx52311.482Z.cfg",
                             "_main_.20261207T152311.482Z-99999999999.cfg", "_main_.20261207T152311.482Z-.cfg"})
        EXPECT_FALSE(historyEntryOf(name)) << name;
}

} // namespace
} // namespace quendral
