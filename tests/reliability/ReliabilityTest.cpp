// The promise that no input and no fault corrupts a car script: a fault at
// every failure point of a save, real obstacles on the disk, owners and
// permissions, links, hostile scripts and racers folders, a kill in the
// middle of a save and two saves at once.

#include "FaultyFileSystem.h"
#include "HistoryModel.h"
#include "Support.h"

#include "app/cli/CarTool.h"
#include "carscript/CarFiles.h"
#include "controls/EditingControls.h"
#include "editor/EditorSession.h"
#include "history/ScriptHistory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <sstream>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace quendral::test {
namespace {

namespace fs = std::filesystem;

const std::string Script = carScript({"attach    0x000400CF 1    ; v6 blocks", "attach    0x000400D1 1    ; v10 blocks"},
                                     "-0.420", "1.000 1.000 1.000 0.000", "-0.42", "0.000 1.000 1.000 1.000", 15, 20);
const std::vector<std::string> Lock = {"._main_.cfg.lock", "_main_.cfg"};

fs::path scriptOf(const fs::path& car) { return car / "scripts" / "_main_.cfg"; }
fs::path backupOf(const fs::path& car) { return car / "scripts" / "_main_backup.cfg"; }

struct Outcome
{
    bool loaded = false, saved = false;
    // Whether a message was shown while the car was still locked, or its
    // temporary files still lay beside the script: no one could save it then.
    bool toldWhileBusy = false;
    std::vector<ShownMessage> messages;
    std::string told() const { return messages.empty() ? "" : messages.back().caption + ": " + messages.back().text; }
};

struct ProbingMessages final : MessagePresenter
{
    ProbingMessages(const fs::path& car, Outcome& outcome) : car(car), outcome(outcome) {}
    void showError(std::string_view caption, std::string_view text) override
    {
        outcome.messages.push_back({std::string(caption), std::string(text)});
        std::string error;
        bool busy = !FileSystem::real().lock(saveLockPath(car), std::chrono::milliseconds(0), error);
        std::error_code noFolder;
        for (const fs::directory_entry& entry : fs::directory_iterator(carScriptPath(car).parent_path(), noFolder))
            busy = busy || entry.path().filename().string().find(".new-") != std::string::npos;
        outcome.toldWhileBusy = outcome.toldWhileBusy || busy;
    }
    const fs::path car;
    Outcome& outcome;
};

// Picks the car, changes every setting as a user would and presses Save;
// also after a failed load, as a user may in the window, when `always`.
Outcome editAndSave(const fs::path& car, FileSystem& files = FileSystem::real(), bool always = true)
{
    Outcome outcome;
    ProbingMessages messages(car, outcome);
    EditingControls controls(messages);
    EditorSession editor(controls, messages, files);
    editor.pickCarFolder(car);
    outcome.loaded = editor.loadSelectedCar();
    controls.engineV8.setValue(1);
    controls.allDrive.setValue(true);
    controls.frontHeight.setValue(9);
    controls.rearHeight.setValue(20);
    controls.smallestWheel.setText("16");
    controls.largestWheel.setText("19");
    outcome.saved = (outcome.loaded || always) && editor.save();
    return outcome;
}

// Runs quendral-car (or the program `arguments` starts with) in a process
// of its own, the output into `log`.
pid_t start(std::vector<std::string> arguments, const fs::path& log = "/dev/null")
{
    if (!arguments[0].starts_with("/"))
        arguments.insert(arguments.begin(), QUENDRAL_CAR_TOOL);
    std::vector<char*> argv;
    for (std::string& word : arguments)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = -1;
    EXPECT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// The exit status, 128 + the signal that ended it, or -1 while it runs.
int statusOf(pid_t pid, bool wait = true)
{
    int status = 0;
    if (waitpid(pid, &status, wait ? 0 : WNOHANG) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Owner, group, permissions and file number.
std::string statOf(const fs::path& path)
{
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return std::to_string(info.st_uid) + " " + std::to_string(info.st_gid) + " " + std::to_string(info.st_mode) + " "
           + std::to_string(info.st_ino);
}

// Each failure point of a load-and-save fails once as a disk reports it and
// once by running out of memory: the script stays whole, no temporary file
// stays behind, the backup is the earlier one or a complete copy, one message
// names the car and the reason, and the next save works.
TEST(SaveUnderInjectedFaults, EveryFailurePointLeavesTheScriptWholeAndTellsTheUser)
{
    // Large enough for the new script to reach the disk in several writes.
    const std::string original = largeCarScript(700 * 1024), earlier = "; an earlier backup\r\n";
    TemporaryFolder folder;
    const fs::path car = makeCar(folder.path() / "mistral", original);
    const fs::path history = car / "scripts" / "_main_history";
    writeBytes(backupOf(car), earlier);
    FaultyFileSystem counting;
    ASSERT_TRUE(editAndSave(car, counting).saved);
    const std::string expected = readBytes(scriptOf(car));
    // Reads: load, save, the earlier backup; creates: the history folder,
    // two entries, backup, script; flushes and commits: entries, backup,
    // script; writes: entries and backup at once, the script in pieces;
    // one lock; the script and the backup inspected.
    const int atLeast[] = {3, 5, 4, 4, 4, 1, 2};
    std::string counts;
    int injected = 0;
    for (int step = 0; step < 7; ++step) {
        EXPECT_GE(counting.count(FileStep(step)), atLeast[step]) << StepNames[step];
        counts += (step ? ", " : "") + std::to_string(counting.count(FileStep(step))) + " " + StepNames[step];
        for (int occurrence = 1; occurrence <= counting.count(FileStep(step)); ++occurrence) {
            for (const bool outOfMemory : {false, true}) {
                SCOPED_TRACE(StepNames[step] + (" #" + std::to_string(occurrence)) + (outOfMemory ? " oom" : ""));
                makeCar(car, original);
                writeBytes(backupOf(car), earlier);
                fs::remove_all(history);
                FaultyFileSystem faults(FileStep(step), occurrence, outOfMemory);
                const Outcome outcome = editAndSave(car, faults, false);
                ASSERT_TRUE(faults.injected() && !outcome.saved);
                ++injected;
                EXPECT_TRUE(readBytes(scriptOf(car)) == original);
                const std::string backup = readBytes(backupOf(car));
                EXPECT_TRUE(backup == earlier || backup == original) << "the backup holds " << backup.size() << " bytes";
                // Until the backup is replaced the history is as it was;
                // then it keeps both versions.
                const bool kept = backup == original;
                EXPECT_EQ(scriptsFolderEntries(car), kept ? LockBackupAndHistory : LockAndBackup);
                EXPECT_TRUE(historyContents(car) == (kept ? std::vector<std::string>{std::min(earlier, original), std::max(earlier, original)}
                                                          : std::vector<std::string>{}));
                ASSERT_EQ(outcome.messages.size(), 1u);
                EXPECT_FALSE(outcome.toldWhileBusy);
                EXPECT_EQ(outcome.messages[0].caption, outcome.loaded ? "Save file" : "Read car");
                EXPECT_TRUE(outcome.told().find("\"mistral\"") < outcome.told().find(
                                outOfMemory ? "not enough memory" : "No space left on device")) << outcome.told();
                EXPECT_TRUE(editAndSave(car).saved);
                EXPECT_TRUE(readBytes(scriptOf(car)) == expected && readBytes(backupOf(car)) == original);
            }
        }
    }
    // A preview out of memory says so and offers nothing to show.
    for (const FileStep step : {FileStep::Inspect, FileStep::Read}) {
        makeCar(car, original);
        RecordingMessages messages;
        EditingControls controls(messages);
        FaultyFileSystem faults(step, step == FileStep::Read ? 2 : 1, true);
        EditorSession editor(controls, messages, faults);
        editor.pickCarFolder(car);
        ASSERT_TRUE(editor.loadSelectedCar());
        controls.frontHeight.setValue(9);
        std::string current;
        std::optional<std::string> written = "";
        EXPECT_FALSE(editor.previewSave(EditorSession::SaveScope::ChangedSettings, current, written));
        EXPECT_TRUE(faults.injected() && !written && messages.shown.size() == 1) << StepNames[int(step)];
        EXPECT_NE(messages.shown.back().text.find("not enough memory"), std::string::npos);
    }
    // A batch of three cars, also when the flush of their whole file system
    // fails and each file's own flush stands in: the car the failure falls
    // on is left as it was and named, and the others are saved.
    std::vector<std::string> set = {"set"}, names = {"falcon", "mistral", "vortex"};
    for (const std::string& name : names)
        set.push_back((folder.path() / "batch" / name).string());
    set.insert(set.end(), {"--front", "9", "--engines", "V8"});
    const auto saveBatch = [&](FaultyFileSystem& files, std::string& told) {
        for (std::size_t i = 1; i <= names.size(); ++i)
            fs::remove_all(set[i]), makeCar(set[i], Script);
        std::ostringstream out, err;
        const int status = runCarTool(set, out, err, files);
        told = err.str();
        return status;
    };
    std::array<int, 2> flushes{};
    for (const bool failSyncs : {false, true}) {
        FaultyFileSystem batchCounting;
        batchCounting.failSyncs = failSyncs;
        std::string told;
        ASSERT_EQ(saveBatch(batchCounting, told), 0) << told;
        flushes[failSyncs] = batchCounting.count(FileStep::Flush);
        EXPECT_EQ(batchCounting.syncedCommits, batchCounting.count(FileStep::Commit)) << "a rename was not made durable";
        const std::string saved = readBytes(scriptOf(set[1]));
        for (int step = 0; step < 7; ++step) {
            for (int occurrence = 1; occurrence <= batchCounting.count(FileStep(step)); ++occurrence) {
                for (const bool outOfMemory : {false, true}) {
                    SCOPED_TRACE(std::string("batch ") + StepNames[step] + " #" + std::to_string(occurrence)
                                 + (outOfMemory ? " oom" : "") + (failSyncs ? " sync failing" : ""));
                    FaultyFileSystem faults(FileStep(step), occurrence, outOfMemory);
                    faults.failSyncs = failSyncs;
                    ASSERT_EQ(saveBatch(faults, told), 1);
                    ++injected;
                    std::vector<std::string> unsaved;
                    for (std::size_t i = 1; i <= names.size(); ++i) {
                        const std::string now = readBytes(scriptOf(set[i]));
                        ASSERT_TRUE(now == Script || now == saved);
                        if (now == Script)
                            unsaved.push_back(names[i - 1]);
                        for (const std::string& name : scriptsFolderEntries(set[i]))
                            EXPECT_EQ(name.find(".new-"), std::string::npos) << name;
                    }
                    ASSERT_EQ(unsaved.size(), 1u) << told;
                    EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << told;
                    EXPECT_TRUE(told.find("\"" + unsaved[0] + "\"") < told.find(
                                    outOfMemory ? "not enough memory" : "No space left on device")) << told;
                }
            }
        }
    }
    EXPECT_LT(flushes[false], flushes[true]) << "only a failed flush of the file system makes each file flush itself";
    std::cout << "[ figures  ] failure points injected: " << injected << ", each failing and out of memory (" << counts
              << "), the batch's among them\n";
}

// A missing scripts folder, a script that is a folder, a car folder that is
// a file, a backup that is a folder and a history that cannot be read:
// every file stays as it was and the user is told which car was not saved.
TEST(SaveMeetsTheDisk, FilesOfTheWrongKindOrMissing)
{
    TemporaryFolder folder;
    const fs::path car = folder.path() / "mistral";
    const auto refused = [&](const std::map<std::string, std::string>& after, const std::string& reason = "",
                             FileSystem& files = FileSystem::real()) {
        const Outcome outcome = editAndSave(car, files);
        EXPECT_FALSE(outcome.saved);
        EXPECT_TRUE(outcome.told().starts_with("Save file: The car \"mistral\" was not saved: " + reason)) << outcome.told();
        auto now = folderSnapshot(folder.path());
        now.erase("mistral/scripts/._main_.cfg.lock");
        EXPECT_EQ(now, after);
    };
    refused({}, "its car folder " + car.string() + " is missing");
    fs::create_directory(car);
    refused({{"mistral", "folder"}}, "its scripts folder " + (car / "scripts").string() + " is missing");
    fs::create_directories(scriptOf(car));
    refused({{"mistral", "folder"}, {"mistral/scripts", "folder"}, {"mistral/scripts/_main_.cfg", "folder"}});
    fs::remove_all(car);
    writeBytes(car, "not a folder");
    refused({{"mistral", "file not a folder"}});
    fs::remove(car);
    makeCar(car, Script);
    fs::create_directory(backupOf(car));
    refused({{"mistral", "folder"}, {"mistral/scripts", "folder"}, {"mistral/scripts/_main_.cfg", "file " + Script},
             {"mistral/scripts/_main_backup.cfg", "folder"}});
    fs::remove(backupOf(car));
    FaultyFileSystem unreadable;
    fs::create_directory(unreadable.unreadable = car / "scripts" / "_main_history");
    refused({{"mistral", "folder"}, {"mistral/scripts", "folder"}, {"mistral/scripts/_main_.cfg", "file " + Script},
             {"mistral/scripts/_main_history", "folder"}},
            "its history folder " + unreadable.unreadable.string() + " cannot be read (Permission denied)", unreadable);
}

// On a disk of 1 MiB, a script of 400 KiB leaves room for the new script
// but not for the version the history keeps; one of 600 KiB leaves no room
// for the new script.
TEST(SaveMeetsTheDisk, AFullDiskLeavesTheScriptWholeAndNoTemporaryFile)
{
    TemporaryFolder folder;
    const fs::path disk = folder.path() / "disk";
    fs::create_directory(disk);
    if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "this machine does not let the test mount a small tmpfs (" << std::strerror(errno) << ")";
    for (const std::size_t size : {400 * 1024, 600 * 1024}) {
        const std::string script = largeCarScript(size);
        const fs::path car = makeCar(disk / "mistral", script);
        const Outcome outcome = editAndSave(car);
        EXPECT_FALSE(outcome.saved);
        EXPECT_NE(outcome.told().find("No space left on device"), std::string::npos) << outcome.told();
        EXPECT_TRUE(readBytes(scriptOf(car)) == script);
        EXPECT_EQ(scriptsFolderEntries(car), Lock);
        fs::remove_all(car);
    }
    ::umount2(disk.c_str(), MNT_DETACH);
}

// Who owns the script, how it may be written, and who runs `quendral-car
// set` on it. Root ignores permission bits, so the save must judge them
// itself, and a save by another user must not take the files over. Rows of
// other users run the tool through setpriv and need root to be set up.
TEST(OwnersAndPermissions, AreKeptOrTheSaveIsRefused)
{
    constexpr uid_t Me = static_cast<uid_t>(-1);
    const struct
    {
        mode_t scriptMode, backupMode;  // 0: no backup before the save
        uid_t owner, saver;
        const char* refusal;  // nullptr: saved
        gid_t group = Me;     // the script's, where not the owner's
        mode_t scriptsMode = 0777;
    } rows[] = {{0444, 0, Me, Me, "_main_.cfg is read-only"}, {0644, 0444, Me, Me, "_main_backup.cfg is read-only"},
                {0640, 0, Me, Me, nullptr}, {0600, 0, 65534, Me, nullptr}, {0666, 0, 4242, 65534, "user 4242"},
                // A private backup an older editor left stays private in the history.
                {0644, 0600, Me, Me, nullptr}, {0644, 0600, 65534, 65534, nullptr},
                // The owner saves a script of a group it is not in: the group
                // becomes its own, which may do only what others may.
                {0640, 0, 65534, 65534, nullptr, 4242},
                // Also where the folder hands its own group to the files made in it.
                {0640, 0, 65534, 65534, nullptr, 4242, 02777},
                {0644, 0, 65534, 65534, "/scripts is read-only", Me, 0555}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.scriptMode) + " " + std::to_string(row.owner) + " " + std::to_string(row.saver));
        if ((row.owner != Me || row.saver != Me) && geteuid() != 0) {
            std::cout << "[ skipped  ] only root can give a script another owner or save as another user\n";
            continue;
        }
        TemporaryFolder folder;
        const fs::path car = makeCar(folder.path() / "racers" / "mistral", Script);
        for (const fs::path& path : {folder.path(), folder.path() / "racers", car})
            ::chmod(path.c_str(), 0755);
        const std::string earlier = "; an earlier backup\r\n";
        if (row.backupMode != 0) {
            writeBytes(backupOf(car), earlier);
            ::chmod(backupOf(car).c_str(), row.backupMode);
        }
        ASSERT_EQ(::chmod(scriptOf(car).c_str(), row.scriptMode), 0);
        // The scripts folder keeps the group root, so that a lock file made by
        // root differs from it in its owner alone.
        ASSERT_TRUE(row.owner == Me || (::chown((car / "scripts").c_str(), row.owner, 0)
                                         | ::chown(scriptOf(car).c_str(), row.owner, row.group == Me ? row.owner : row.group)
                                         | (row.backupMode ? ::chown(backupOf(car).c_str(), row.owner, row.owner) : 0)) == 0);
        ::chmod((car / "scripts").c_str(), row.scriptsMode);
        const std::string before = statOf(scriptOf(car)), backupBefore = statOf(backupOf(car));
        const auto snapshot = folderSnapshot(car);
        std::vector<std::string> arguments = {"set", car.string(), "--front", "12"};
        if (row.saver != Me)
            arguments.insert(arguments.begin(), {"/usr/bin/setpriv", "--reuid=" + std::to_string(row.saver),
                                                 "--regid=" + std::to_string(row.saver), "--clear-groups", QUENDRAL_CAR_TOOL});
        const int status = statusOf(start(arguments, folder.path() / "log"));
        const std::string told = readBytes(folder.path() / "log");
        EXPECT_EQ(status, row.refusal ? 1 : 0) << told;
        if (row.refusal) {
            EXPECT_TRUE(told.find("Save file: The car \"mistral\" was not saved") < told.find(row.refusal)) << told;
            auto now = folderSnapshot(car);
            now.erase("scripts/._main_.cfg.lock");
            EXPECT_EQ(now, snapshot);
            EXPECT_EQ(statOf(scriptOf(car)), before);
            continue;
        }
        EXPECT_TRUE(readBytes(backupOf(car)) == Script && readBytes(scriptOf(car)) != Script);
        // Owner, group and mode are kept; the file is new.
        const auto withoutFile = [](const std::string& stat) { return stat.substr(0, stat.rfind(' ')); };
        const std::string kept = row.group == Me ? withoutFile(before) : "65534 65534 " + std::to_string(S_IFREG | 0600);
        for (const fs::path& path : {scriptOf(car), backupOf(car)})
            EXPECT_EQ(withoutFile(statOf(path)), kept) << path;
        for (const auto& entry : fs::directory_iterator(car / "scripts" / "_main_history"))
            if (readBytes(entry.path()) == earlier) {
                EXPECT_EQ(withoutFile(statOf(entry.path())), withoutFile(backupBefore));
            }
        // A lock file made by root is handed to the owner and group of the folder.
        if (row.saver != Me)
            continue;
        const std::string lock = statOf(car / "scripts" / "._main_.cfg.lock"), scripts = statOf(car / "scripts");
        EXPECT_EQ(lock.substr(0, lock.find(' ', lock.find(' ') + 1)), scripts.substr(0, scripts.find(' ', scripts.find(' ') + 1)));
        // So is the history folder it makes, with the scripts folder's mode.
        EXPECT_EQ(withoutFile(statOf(car / "scripts" / "_main_history")), withoutFile(scripts));
    }
}

// A car from elsewhere may bring links in its scripts folder: a backup that
// is a symbolic link, a dangling one or a hard link, and a script that is a
// symbolic link. The save replaces each by a regular file and never writes
// through it.
TEST(LinksInTheScriptsFolder, GiveWayToRegularFilesAndAreNeverWrittenThrough)
{
    const std::string usersFile = "the user's own file, not to be touched\n";
    for (int kind = 0; kind < 4; ++kind) {
        SCOPED_TRACE(kind);
        TemporaryFolder folder;
        const fs::path car = folder.path() / "racers" / "mistral", elsewhere = folder.path() / "documents" / "thesis.txt";
        writeBytes(elsewhere, kind == 3 ? Script : usersFile);
        makeCar(car, Script);
        if (kind == 1)
            fs::remove(elsewhere);
        if (kind == 3)
            fs::remove(scriptOf(car));
        if (kind == 2)
            fs::create_hard_link(elsewhere, backupOf(car));
        else
            fs::create_symlink(elsewhere, kind == 3 ? scriptOf(car) : backupOf(car));
        const Outcome outcome = editAndSave(car);
        EXPECT_TRUE(outcome.saved) << outcome.told();
        EXPECT_EQ(fs::exists(fs::symlink_status(elsewhere)), kind != 1);
        EXPECT_TRUE(kind == 1 || readBytes(elsewhere) == (kind == 3 ? Script : usersFile));
        // The backup shares its file with nothing, not even the history.
        EXPECT_EQ(fs::hard_link_count(backupOf(car)), 1u);
        EXPECT_FALSE(fs::is_symlink(backupOf(car)) || fs::is_symlink(scriptOf(car)));
        EXPECT_EQ(readBytes(backupOf(car)), Script);
        EXPECT_NE(readBytes(scriptOf(car)).find(" -0.480 "), std::string::npos);
    }
}

// A link the car's owner put in the scripts folder to a file of another
// user is followed neither by root, which would copy the file where the
// owner reads it, nor by the owner: the read is refused naming the link, and
// nothing is written.
TEST(LinksInTheScriptsFolder, AreFollowedOnlyToFilesOfTheirOwnOwner)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can give a link another owner";
    const std::pair<const char*, std::vector<std::string>> rows[] = {
        {"_main_.cfg", {"set", "--front", "12"}}, {"_main_backup.cfg", {"restore", "backup"}}, {"_main_backup.cfg", {"diff"}}};
    for (const auto& [name, command] : rows) {
        for (const bool asOwner : {false, true}) {
            SCOPED_TRACE(command[0] + (asOwner ? " by the owner" : " by root"));
            TemporaryFolder folder, logs;
            const fs::path car = makeCar(folder.path() / "mistral", Script), secret = folder.path() / "secret.cfg";
            const fs::path link = car / "scripts" / name;
            writeBytes(secret, Script);
            ::chmod(secret.c_str(), asOwner ? 0644 : 0600);
            ::chmod(folder.path().c_str(), 0755);
            fs::remove(link);
            fs::create_symlink(secret, link);
            for (const fs::path& path : {link, scriptOf(car), car / "scripts", car})
                ASSERT_EQ(::lchown(path.c_str(), 65534, 65534), 0);
            const auto before = folderSnapshot(car);
            std::vector<std::string> arguments = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                                                  QUENDRAL_CAR_TOOL, command[0], car.string()};
            arguments.insert(arguments.end(), command.begin() + 1, command.end());
            const int status = statusOf(start({arguments.begin() + (asOwner ? 0 : 4), arguments.end()}, logs.path() / "log"));
            const std::string told = readBytes(logs.path() / "log");
            EXPECT_EQ(status, 1) << told;
            EXPECT_TRUE(told.find(link.string()) < told.find("it is a symbolic link of user 65534 to a file of user 0, "
                                                             "which is not followed")) << told;
            auto now = folderSnapshot(car);
            now.erase("scripts/._main_.cfg.lock");
            EXPECT_EQ(now, before);
            EXPECT_TRUE(readBytes(secret) == Script);
        }
    }
}

// A single line of 50 MB is copied through as it stood; with no wheel
// blocks there is no room for the wheel sizes, which the save reports.
// (Other hostile scripts are golden cases: tests/golden/.)
TEST(HostileScripts, ASingleLineOf50MegabytesIsCopiedThrough)
{
    TemporaryFolder folder;
    std::string line(50u << 20, 'x');
    for (std::size_t i = 0; i < line.size(); i += 4096)
        line[i] = ' ';
    const fs::path car = makeCar(folder.path() / "long", line + "\r\n");
    const Outcome outcome = editAndSave(car);
    EXPECT_TRUE(!outcome.saved && outcome.told().find("was saved, but") != std::string::npos) << outcome.told();
    EXPECT_TRUE(readBytes(scriptOf(car)) == line + "\r\n");
}

// A script saved in UTF-16 by another program between the load and the
// save: the save and the next load refuse it and leave it untouched.
TEST(HostileScripts, Utf16IsRefusedByTheSaveAndTheLoad)
{
    TemporaryFolder folder;
    const fs::path car = makeCar(folder.path() / "wide", Script);
    RecordingMessages messages;
    EditingControls controls(messages);
    EditorSession editor(controls, messages, FileSystem::real());
    editor.pickCarFolder(car);
    ASSERT_TRUE(editor.loadSelectedCar());
    std::string wide = "\xFF\xFE";
    for (const char c : Script)
        wide += std::string{c, '\0'};
    writeBytes(scriptOf(car), wide);
    EXPECT_FALSE(editor.save() || editor.loadSelectedCar());
    EXPECT_EQ(messages.captions(), (std::vector<std::string>{"Save file", "Read car"}));
    for (const ShownMessage& message : messages.shown)
        EXPECT_TRUE(message.text.find("\"wide\"") < message.text.find("is in UTF-16")) << message.text;
    EXPECT_TRUE(readBytes(scriptOf(car)) == wide && !fs::exists(backupOf(car)));
}

// Ten thousand cars, symbolic link loops and names that are not UTF-8: the
// scan lists and pairs them by name and changes nothing; picking a loop is
// reported naming it; only the cars saved change.
TEST(HostileRacersFolders, AreListedAndLeftAsTheyWere)
{
    TemporaryFolder folder;
    const fs::path racers = folder.path() / "racers";
    // Twenty thousand entries are the program's business, not the disk's:
    // kept in memory where the machine allows it.
    fs::create_directory(racers);
    const bool mounted = ::mount("tmpfs", racers.c_str(), "tmpfs", 0, "size=256m") == 0;
    std::vector<std::string> names = {"caf\xe9", "\xff\xfe\x80", "self", "ping", "pong", "up"};
    for (int i = 0; i < 10000; ++i) {
        names.push_back("car" + std::to_string(i));
        fs::create_directory(racers / names.back());
    }
    for (const std::string& name : names)
        writeBytes(racers / (name + ".rpk"), "");
    const std::vector<std::string> real = {"car9999", "caf\xe9", "\xff\xfe\x80"};
    for (const std::string& name : real)
        makeCar(racers / name, Script);
    fs::create_directory_symlink(racers / "self", racers / "self");
    fs::create_directory_symlink(racers / "pong", racers / "ping");
    fs::create_directory_symlink(racers / "ping", racers / "pong");
    fs::create_directory_symlink(racers, racers / "up");
    auto before = folderSnapshot(racers);
    RecordingMessages messages;
    EditingControls controls(messages);
    EditorSession editor(controls, messages, FileSystem::real());
    ASSERT_TRUE(editor.openFolder(racers));
    auto listed = controls.carList.items();
    std::sort(listed.begin(), listed.end());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(listed, names);
    for (int i = 0; i < editor.carTable().size(); ++i)
        ASSERT_EQ(editor.carTable().entry(i)->folder, racers / controls.carList.items()[static_cast<std::size_t>(i)]);
    EXPECT_EQ(folderSnapshot(racers), before);
    for (const std::string name : {"car9999", "caf\xe9", "\xff\xfe\x80", "self", "ping", "up"}) {
        const Outcome outcome = editAndSave(racers / name);
        const bool saved = std::find(real.begin(), real.end(), name) != real.end();
        EXPECT_EQ(outcome.saved, saved) << name;
        EXPECT_TRUE(saved || outcome.messages.at(0).text.find("\"" + name + "\"") != std::string::npos) << name;
    }
    auto after = folderSnapshot(racers);
    for (const std::string& name : real)
        for (const char* file : {"/scripts/_main_.cfg", "/scripts/_main_backup.cfg", "/scripts/._main_.cfg.lock"})
            after.erase(name + file), before.erase(name + file);
    std::erase_if(after, [](const auto& entry) { return entry.first.find("/scripts/_main_history") != std::string::npos; });
    EXPECT_EQ(after, before);
    if (mounted)
        ::umount2(racers.c_str(), MNT_DETACH);
}

// Under the sanitizers each save runs many times slower: their pass kills
// and races smaller saves, fewer times.
#ifdef QUENDRAL_SANITIZED
constexpr int Kills = 20, Rounds = 10;
constexpr std::size_t KilledSize = 4u << 20, RacedSize = 1u << 20;
#else
constexpr int Kills = 30, Rounds = 10;
constexpr std::size_t KilledSize = 8u << 20, RacedSize = 3u << 20;
#endif

// quendral-car is killed with SIGKILL at five moments of a save of a large
// script, found by watching the scripts folder rather than the clock, so
// that a busy machine spreads the kills as well. The rename must make every
// kill land on one side of it, and the next save must work as though
// nothing had happened.
TEST(KilledWhileSaving, TheScriptIsAlwaysTheOldOrTheNewOneAndTheNextSaveWorks)
{
    TemporaryFolder folder;
    const std::string oldScript = largeCarScript(KilledSize);
    const fs::path car = makeCar(folder.path() / "racers" / "mistral", oldScript);
    const std::vector<std::string> set = {"set", car.string(), "--engines", "V6,V10", "--drive", "rear", "--front", "21",
                                          "--rear", "3", "--min", "16", "--max", "20"};
    ASSERT_EQ(statusOf(start(set)), 0);
    const std::string newScript = readBytes(scriptOf(car));
    ASSERT_TRUE(newScript != oldScript);
    fs::remove(backupOf(car));
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("random seed " + std::to_string(seed));
    std::mt19937 random(seed);
    // The share of `target` written to its temporary file, or -1.
    // The share of `target` (of an entry of the history when empty) written
    // to its temporary file, or -1.
    const fs::path history = car / "scripts" / "_main_history";
    const auto written = [&](const std::string& target, const std::string& bytes) {
        std::error_code ec;
        const fs::path where = target.empty() ? history : car / "scripts";
        for (fs::directory_iterator it(where, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            const auto size = fs::file_size(it->path(), ec);
            if (!ec && (target.empty() ? name.starts_with(".") : name.starts_with("." + target + ".new-")))
                return static_cast<double>(size) / static_cast<double>(bytes.size());
        }
        return -1.0;
    };
    const char* moments[] = {"reading", "writing the history", "writing the script", "syncing the script", "after the rename"};
    int aimed[5] = {}, hit[5] = {}, keptOld = 0, leftTemporary = 0, retries = 0;
    for (int kill = 0; kill < Kills; ++kill) {
        const int moment = kill % 5;
        SCOPED_TRACE(std::to_string(kill) + " " + moments[moment]);
        if (readBytes(scriptOf(car)) != oldScript)
            writeBytes(scriptOf(car), oldScript);
        const std::string oldFile = statOf(scriptOf(car));
        const double share = std::uniform_real_distribution<double>(0, 1)(random);
        const pid_t tool = start(set);
        if (moment == 0)
            std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
        int status = -1;
        for (bool due = moment == 0; (status = statusOf(tool, false)) == -1 && !due;) {
            due = moment == 1   ? written("", oldScript) >= share
                  : moment == 2 ? written("_main_.cfg", newScript) >= share
                  : moment == 3 ? written("_main_.cfg", newScript) == 1.0
                                : statOf(scriptOf(car)) != oldFile;
            std::this_thread::sleep_for(std::chrono::microseconds(due ? 0 : 100));
        }
        ++aimed[moment];
        if (status == -1) {
            ++hit[moment];
            ::kill(tool, SIGKILL);
            statusOf(tool);
        }
        const std::string now = readBytes(scriptOf(car));
        ASSERT_TRUE(now == oldScript || now == newScript) << "the car script holds " << now.size() << " bytes";
        keptOld += now == oldScript;
        ASSERT_TRUE(!fs::exists(backupOf(car)) || readBytes(backupOf(car)) == oldScript) << "the backup is incomplete";
        // The history holds the old script once at most, besides a temporary
        // file; the next save starts it afresh.
        std::vector<std::string> kept = historyContents(car);
        std::erase_if(kept, [&](const std::string& entry) { return entry == oldScript; });
        ASSERT_LE(historyContents(car).size() - kept.size(), 1u);
        for (const std::string& entry : kept)
            ASSERT_TRUE(oldScript.starts_with(entry)) << "a history entry is no part of the old script";
        fs::remove_all(history);
        // A killed save leaves its temporary file, which would mislead the
        // watching of the next one.
        for (const std::string& name : scriptsFolderEntries(car))
            leftTemporary += name.find(".new-") != std::string::npos && fs::remove(car / "scripts" / name);
        if (status != -1 && moment == 4 && retries < 3 * Kills / 5) {
            ++retries;  // the moment after the rename lasts only until the exit
            --kill;
        }
    }
    // The next save removes what killed saves left behind.
    writeBytes(scriptOf(car), oldScript);
    writeBytes(car / "scripts" / "._main_.cfg.new-0123456789ab", newScript.substr(0, 1000));
    writeBytes(car / "scripts" / "._main_backup.cfg.new-a0b1c2d3e4f5", oldScript.substr(0, 1000));
    writeBytes(history / "._main_.20261207T120000.000Z.cfg.new-0a1b2c3d4e5f", "partial");
    ASSERT_EQ(statusOf(start(set)), 0);
    EXPECT_TRUE(readBytes(scriptOf(car)) == newScript && readBytes(backupOf(car)) == oldScript);
    EXPECT_EQ(scriptsFolderEntries(car), LockBackupAndHistory);
    EXPECT_TRUE(historyContents(car) == std::vector<std::string>{oldScript});
    // The kills must have fallen on both sides of the rename.
    EXPECT_GT(keptOld, 0);
    EXPECT_GT(hit[4], 0);

    // A `set` of 200 small cars, killed at random moments of its run: each
    // car holds its old script or its new one, the new one only once its
    // backup holds the old one, and every entry of its history is whole.
    std::vector<std::string> batch = {"set"};
    for (int i = 0; i < 200; ++i)
        batch.push_back(makeCar(folder.path() / "batch" / ("car" + std::to_string(i)), Script).string());
    batch.insert(batch.end(), set.begin() + 2, set.end());
    const auto began = std::chrono::steady_clock::now();
    ASSERT_EQ(statusOf(start(batch)), 0);
    const auto lasts = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - began);
    const std::string batchNew = readBytes(scriptOf(batch[1]));
    int batchKills = 0, halfSaved = 0;
    for (int kill = 0; kill < Kills / 3; ++kill) {
        SCOPED_TRACE("batch kill " + std::to_string(kill));
        for (std::size_t i = 1; i <= 200; ++i) {
            writeBytes(scriptOf(batch[i]), Script);
            fs::remove(backupOf(batch[i]));
            fs::remove_all(fs::path(batch[i]) / "scripts" / "_main_history");
        }
        const std::string oldFile = statOf(scriptOf(batch[1]));
        const pid_t tool = start(batch);
        // Every other kill aims at the renames, which start with the first car.
        while (kill % 2 && statusOf(tool, false) == -1 && statOf(scriptOf(batch[1])) == oldFile)
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        std::this_thread::sleep_for(std::chrono::microseconds(random() % (kill % 2 ? 3000 : lasts.count() + 1)));
        batchKills += statusOf(tool, false) == -1;
        ::kill(tool, SIGKILL);
        statusOf(tool);
        int saved = 0;
        for (std::size_t i = 1; i <= 200; ++i) {
            const std::string now = readBytes(scriptOf(batch[i]));
            ASSERT_TRUE(now == Script || now == batchNew) << batch[i] << " holds " << now.size() << " bytes";
            saved += now == batchNew;
            if (now == batchNew || fs::exists(backupOf(batch[i]))) {
                ASSERT_TRUE(readBytes(backupOf(batch[i])) == Script) << batch[i];
            }
            std::error_code ec;
            for (fs::directory_iterator it(fs::path(batch[i]) / "scripts" / "_main_history", ec), end; !ec && it != end; it.increment(ec))
                if (!it->path().filename().string().starts_with(".")) {
                    ASSERT_TRUE(readBytes(it->path()) == Script) << it->path();
                }
        }
        halfSaved += saved > 0 && saved < 200;
    }
    ASSERT_EQ(statusOf(start(batch)), 0);
    for (std::size_t i = 1; i <= 200; ++i) {
        ASSERT_TRUE(readBytes(scriptOf(batch[i])) == batchNew);
        for (const std::string& name : scriptsFolderEntries(batch[i]))
            ASSERT_EQ(name.find(".new-"), std::string::npos) << batch[i] << " " << name;
    }
    std::cout << "[ figures  ] a 200-car set (" << lasts.count() / 1000 << " ms) killed " << batchKills
              << " times while it ran, " << halfSaved << " of them with some cars saved and some not\n";
    std::cout << "[ figures  ] " << Kills + retries << " kills survived (script " << (KilledSize >> 20) << " MiB): "
              << keptOld << " left the old script, " << Kills + retries - keptOld << " the new one; " << leftTemporary
              << " left a temporary file; kills that hit their moment:";
    for (int i = 0; i < 5; ++i)
        std::cout << ' ' << moments[i] << ' ' << hit[i] << '/' << aimed[i] << ',';
    std::cout << " (" << retries << " tries made again)\n";
}

// Two quendral-car processes save one car at the same moment, round after
// round, one changing the front ride height and one the rear: the saves
// wait for each other, each writes its change onto what the other wrote,
// and both report success.
TEST(TwoSavesAtOnce, BothChangesAreSavedOneAfterTheOther)
{
    TemporaryFolder folder;
    const std::string oldScript = largeCarScript(RacedSize);
    const fs::path car = makeCar(folder.path() / "racers" / "vortex_r", oldScript);
    const std::vector<std::string> front = {"set", car.string(), "--front", "12"}, rear = {"set", car.string(), "--rear", "27"};
    const auto alone = [&](const std::string& from, const std::vector<std::string>& set) {
        writeBytes(scriptOf(car), from);
        EXPECT_EQ(statusOf(start(set)), 0);
        return readBytes(scriptOf(car));
    };
    const std::string frontOnly = alone(oldScript, front), rearOnly = alone(oldScript, rear), both = alone(frontOnly, rear);
    ASSERT_TRUE(both != frontOnly && both != rearOnly);
    ASSERT_TRUE(alone(rearOnly, front) == both) << "the order of the saves must not matter";
    int frontFirst = 0;
    for (int round = 0; round < Rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        writeBytes(scriptOf(car), oldScript);
        fs::remove(backupOf(car));
        fs::remove_all(car / "scripts" / "_main_history");
        const pid_t a = start(round % 2 ? rear : front, folder.path() / "a"), b = start(round % 2 ? front : rear, folder.path() / "b");
        EXPECT_EQ(statusOf(a), 0) << readBytes(folder.path() / "a");
        EXPECT_EQ(statusOf(b), 0) << readBytes(folder.path() / "b");
        const std::string script = readBytes(scriptOf(car)), backup = readBytes(backupOf(car));
        ASSERT_TRUE(script == both) << (script == frontOnly ? "the rear change was lost"
                                        : script == rearOnly ? "the front change was lost" : "neither save's output");
        // The backup is the script as the second save found it.
        ASSERT_TRUE(backup == frontOnly || backup == rearOnly) << "the backup holds " << backup.size() << " bytes";
        frontFirst += backup == frontOnly;
        ASSERT_EQ(scriptsFolderEntries(car), LockBackupAndHistory);
        // Each save kept the script it replaced.
        ASSERT_TRUE(historyContents(car) == (std::vector<std::string>{std::min(oldScript, backup), std::max(oldScript, backup)}));
    }
    std::cout << "[ figures  ] " << Rounds << " concurrent rounds on " << (RacedSize >> 20) << " MiB, both changes kept"
              << " in each: the front save went first " << frontFirst << " times, the rear save " << Rounds - frontFirst << "\n";
}

// Random saves and restores, an older editor's saves that write the backup
// in place, deleted scripts, clocks that jump back and forth and saves
// killed at a random step, over a history that begins with 40 entries from
// another machine, dated up to two years either way: after each, the history
// is what the model of its rules says; every version a save replaced is
// kept, or the history holds the 50 newest; the original stays.
TEST(HistoryModelProperty, EveryVersionReplacedIsKeptOrOlderThanTheNewest)
{
    for (unsigned seed = 0; seed < 3; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        const auto pick = [&](int below) { return std::uniform_int_distribution<int>(0, below - 1)(random); };
        TemporaryFolder folder;
        const fs::path car = makeCar(folder.path() / "mistral", randomCarScript(random));
        std::map<HistoryTime, std::string> planted;
        for (int i = 0; i < 40; ++i) {
            const HistoryTime time = historyClock() + std::chrono::hours(pick(2 * 17'500) - 17'500);
            writeBytes(car / "scripts" / "_main_history" / historyEntryName(time, 1, i == 0), planted[time] = "; planted " + std::to_string(i));
        }
        HistoryModel model{"; planted 0", {}};
        for (const auto& [time, bytes] : planted)
            if (bytes != *model.original)
                model.kept.push_back(bytes);
        std::vector<std::string> replaced;
        for (int step = 0; step < 120; ++step) {
            const int op = pick(11);
            SCOPED_TRACE("step " + std::to_string(step) + ", operation " + std::to_string(op));
            const auto fileOrNothing = [](const fs::path& path) {
                return fs::is_regular_file(fs::symlink_status(path)) ? std::optional(readBytes(path)) : std::nullopt;
            };
            const auto script = fileOrNothing(scriptOf(car)), backup = fileOrNothing(backupOf(car));
            std::vector<std::string> arguments = {"set", car.string(), "--front", std::to_string(pick(31)), "--rear", "3"};
            if (op % 2 || !script)
                arguments = {"restore", car.string(), pick(4) ? std::to_string(1 + pick(static_cast<int>(model.kept.size()) + 1)) : "backup"};
            if (op == 6 && script) {  // an older editor's save
                writeBytes(backupOf(car), *script);
                writeBytes(scriptOf(car), randomCarScript(random));
            } else if (op == 7) {
                shiftHistoryClock(std::chrono::hours(pick(2 * 26'000) - 26'000));
            } else if (op == 10) {
                fs::remove(scriptOf(car));
            } else {
                // A kill falls on a random step of a save in a process of its own.
                const bool kill = op >= 8;
                FaultyFileSystem faults(FileStep(pick(5)), kill ? 1 + pick(4) : 0);
                faults.kill = true;
                std::ostringstream out, err;
                const pid_t child = kill ? fork() : 0;
                const int status = child == 0 ? runCarTool(arguments, out, err, faults) : statusOf(child);
                if (kill && child == 0)
                    _exit(0);
                const std::optional<std::string> after = fileOrNothing(scriptOf(car));
                const auto states = model.throughSave(script, backup, after && after != script ? *after : "\x01");
                const HistoryModel actual = HistoryModel::of(car);
                ASSERT_TRUE(after == script || !script || actual.holds(*script)) << "the script was replaced before it was kept";
                ASSERT_TRUE(!kill || std::find(states.begin(), states.end(), actual) != states.end());
                // A save may write and still exit 1 (a ride height it could not write).
                if (kill || status == 0 || (after && after != script))
                    model = kill ? actual : model.throughSave(script, backup, *after).back();
                if (script && after != script)
                    replaced.push_back(*script);
            }
            const HistoryModel actual = HistoryModel::of(car);
            ASSERT_TRUE(actual == model) << "the history holds " << actual.kept.size() << ", the model " << model.kept.size();
            ASSERT_EQ(actual.original, "; planted 0");
            for (const std::string& version : replaced)
                ASSERT_TRUE(model.holds(version) || model.kept.size() == KeptVersions);
        }
        shiftHistoryClock(-std::chrono::duration_cast<std::chrono::milliseconds>(
            historyClock() - std::chrono::floor<std::chrono::milliseconds>(std::chrono::system_clock::now())));
    }
}

} // namespace
} // namespace quendral::test
