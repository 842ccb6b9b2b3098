// What the window and the command-line tool share below them: the racers
// folder scan, picking, loading and saving a car through EditorSession, the
// controls' change signal, and the file layer it reads and locks with.

#include "carscript/CarFiles.h"
#include "carscript/FileSystem.h"
#include "carscript/SettingsReader.h"
#include "catalogue/FolderListing.h"
#include "controls/ChangeSignal.h"
#include "controls/EditingControls.h"
#include "controls/FormLayout.h"
#include "editor/EditorSession.h"
#include "Support.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>

namespace quendral::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class CarEditorTest : public testing::Test
{
protected:
    fs::path demoCar(const char* name)
    {
        writeBytes(temporary.path() / "racers" / (std::string(name) + ".rpk"), "rpk");
        return makeCar(temporary.path() / "racers" / name,
                       readBytes(fs::path(QUENDRAL_EXAMPLES_DIR) / "falcon_gt" / "scripts" / "_main_.cfg"));
    }

    TemporaryFolder temporary;
    RecordingMessages messages;
    EditingControls controls{messages};
    EditorSession editor{controls, messages, FileSystem::real()};
};

// The rows open their folders one after the other in one editor. Entries:
// "NAME/" a folder, "NAME>TARGET" a link, else a file. Cars: each listed
// name with the folder it is paired with.
TEST_F(CarEditorTest, RacersFolderScans)
{
    const struct
    {
        const char* folder;
        std::vector<std::string> entries;
        std::string cars, files;
    } rows[] = {
        {"racers", {"b.rpk", "a.rpk", "A.rpk", "Zed.txt", "b/", "C/", "a/"}, "A=a a=a b=b ", "A.rpk a.rpk b.rpk Zed.txt "},
        {"racers/a", {}, "", ""},
        {"1/racers", {"zeta.rpk", "c.txt", "Mid.RPK", ".hidden.rpk", "readme", "alpha/", "mid/", "zeta/", ".git/"},
         "Mid=mid zeta=zeta ", "c.txt Mid.RPK readme zeta.rpk "},
        {"2/racers", {"lonely.rpk", "other.rpk", "other/"}, "lonely=lonely other=other ", "lonely.rpk other.rpk "},
        {"Racers", {"a.rpk", "a/"}, "", "a.rpk "},
        {"acers", {"a.rpk", "a/"}, "", "a.rpk "},
        {"oldracers/", {"a.rpk", "a/"}, "a=a ", "a.rpk "},
        {"3/racers", {"notes.txt", "a/"}, "", "notes.txt "},
        {"4/racers", {"car.rpk", "car2.rpk", "CAR/", "Car/", "car/", "ca/", "car_/", "car22/"}, "car=car car2=car2 ",
         "car.rpk car2.rpk "},
        {"5/racers", {"Car.rpk", "cAr/", "CAR/"}, "Car=CAR ", "Car.rpk "},
        {"6/racers", {"CAR.rpk", "car.rpk", "Car/"}, "CAR=Car car=Car ", "CAR.rpk car.rpk "},
        {"7/racers", {"real.rpk", "real/", "Linked.rpk>real.rpk", "linked>real", "broken.rpk>nowhere"},
         "Linked=linked real=real ", "Linked.rpk real.rpk "},
        {"8/racers", {"ghost.rpk/", "ghost/"}, "", ""},
        {"9/racers", {"caf\xe9.rpk", "caf\xe9/", "\xff\xfe\x80.rpk", "\xff\xfe\x80/"}, "caf\xe9=caf\xe9 \xff\xfe\x80=\xff\xfe\x80 ",
         "caf\xe9.rpk \xff\xfe\x80.rpk "}};
    std::optional<int> found = 0;
    EXPECT_FALSE(editor.rescan("a", found)) << "no folder to scan again yet";
    EXPECT_EQ(found, std::nullopt);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.folder);
        const fs::path folder = temporary.path() / row.folder;
        fs::create_directories(folder);
        for (const std::string& entry : row.entries) {
            if (entry.ends_with('/'))
                fs::create_directory(folder / entry);
            else if (const std::size_t arrow = entry.find('>'); arrow != std::string::npos)
                fs::create_symlink(folder / entry.substr(arrow + 1), folder / entry.substr(0, arrow));
            else
                writeBytes(folder / entry, "rpk");
        }
        controls.frontHeight.setValue(7);
        ASSERT_TRUE(editor.openFolder(folder));
        std::string cars, files;
        for (int i = 0; i < controls.carList.listCount(); ++i) {
            EXPECT_EQ(controls.carList.items()[static_cast<std::size_t>(i)], editor.carTable().entry(i)->name);
            EXPECT_EQ(editor.carTable().entry(i)->folder.parent_path(), (folder / "").lexically_normal().parent_path());
            // What `list` prints, made without the path.
            EXPECT_EQ(editor.carTable().name(i) + editor.carTable().folderText(i),
                      editor.carTable().entry(i)->name + editor.carTable().entry(i)->folder.string());
            cars += editor.carTable().entry(i)->name + "=" + editor.carTable().entry(i)->folder.filename().string() + " ";
        }
        for (const std::string& name : controls.fileList.names())
            files += name + " ";
        EXPECT_EQ(cars, row.cars);
        EXPECT_EQ(files, row.files);
        EXPECT_EQ(controls.editingFrame.isEnabled(), !row.cars.empty());
        EXPECT_EQ(controls.frontHeight.value(), 7) << "a scan keeps the settings shown";
    }
    EXPECT_EQ(editor.carTable().entry(2), nullptr);
    EXPECT_TRUE(messages.shown.empty());

    // A folder that cannot be read changes nothing.
    EXPECT_FALSE(editor.openFolder(temporary.path() / "missing"));
    EXPECT_EQ(controls.folderChooser.path(), temporary.path() / "9" / "racers");
    EXPECT_EQ(controls.carList.listCount(), 2);
    EXPECT_EQ(messages.captions(), std::vector<std::string>{"Quendral location"});
    // A rescan finds the picked car again while it is there.
    for (const int expected : {1, -1}) {
        EXPECT_TRUE(editor.rescan("\xff\xfe\x80", found));
        EXPECT_EQ(found.value_or(-1), expected);
        fs::remove(temporary.path() / "9" / "racers" / "\xff\xfe\x80.rpk");
    }
    EXPECT_EQ(controls.carList.listCount(), 1);
    FolderContents contents;
    std::string error;
    EXPECT_FALSE(listFolder(FileSystem::real(), temporary.path() / "racers" / "Zed.txt", contents, error));
    EXPECT_EQ(error, "Not a directory");

    // The order of every listing, whatever order the file system reads the
    // folder in: by name ignoring case, then by bytes.
    std::vector<std::string> names = {"b", "Ab", "_", "B", "ab", "a", "A"};
    std::sort(names.begin(), names.end(), nameLess);
    EXPECT_EQ(names, (std::vector<std::string>{"_", "A", "a", "Ab", "ab", "B", "b"}));
    EXPECT_TRUE(equalsIgnoringCase("aB", "Ab"));
    EXPECT_FALSE(equalsIgnoringCase("ab", "abc") || equalsIgnoringCase("abc", "ab"));
}

TEST_F(CarEditorTest, LoadingClearsTheEngineFamiliesFirstAndSavingOrComparingNeedsACar)
{
    demoCar("alpha");
    demoCar("beta");
    ASSERT_TRUE(editor.openFolder(temporary.path() / "racers"));
    controls.smallestWheel.setText("15");
    controls.largestWheel.setText("16");
    EXPECT_FALSE(editor.save());
    Comparison comparison;
    EXPECT_FALSE(editor.compare({VersionName::Kind::Current}, {VersionName::Kind::Saved}, comparison));
    EXPECT_FALSE(editor.compare({VersionName::Kind::Original}, {VersionName::Kind::Current}, comparison));
    EXPECT_EQ(messages.captions(), (std::vector<std::string>{"Save file", "Preview changes", "History"}));
    messages.shown.resize(1);
    controls.carList.setListIndex(0);
    ASSERT_TRUE(editor.loadSelectedCar());
    // Wheel sizes that are no whole numbers stop the save before it writes.
    const std::string range = " is not a whole number between -32768 and 32767.";
    for (const auto& [smallest, largest, caption, text] :
         {std::tuple{"1x", "16", "Min size", "The minimum wheel size \"1x\""},
          std::tuple{"15", "", "Max size", "The maximum wheel size \"\""}}) {
        controls.smallestWheel.setText(smallest);
        controls.largestWheel.setText(largest);
        EXPECT_FALSE(editor.save());
        EXPECT_EQ(messages.shown.back(), (ShownMessage{caption, text + range}));
    }
    messages.shown.resize(1);
    controls.engineV10.setValue(1);
    controls.carList.setListIndex(ListBox::NoSelection);
    EXPECT_FALSE(editor.loadSelectedCar());
    EXPECT_EQ(controls.engineV10.value(), 0);
    EXPECT_EQ(controls.frontHeight.value(), 10);
    fs::remove(temporary.path() / "racers" / "beta" / "scripts" / "_main_.cfg");
    controls.engineI4.setValue(1);
    controls.carList.setListIndex(1);
    EXPECT_FALSE(editor.loadSelectedCar());
    EXPECT_EQ(controls.engineI4.value(), 0);
    EXPECT_EQ(messages.captions(), (std::vector<std::string>{"Save file", "Read car"}));
    EXPECT_NE(messages.shown[1].text.find("\"beta\""), std::string::npos);
    EXPECT_EQ(scriptsFolderEntries(temporary.path() / "racers" / "alpha"), std::vector<std::string>{"_main_.cfg"});
}

// Another program saves the car between its load and the save: a setting
// named as changed is written even where it equals what was loaded, and the
// other program's change of the rest stays.
TEST_F(CarEditorTest, ASaveOverAnotherProgramsWritesTheSettingsNamedAndKeepsTheRest)
{
    const fs::path car = demoCar("alpha");
    editor.pickCarFolder(car);
    ASSERT_TRUE(editor.loadSelectedCar());
    const CarSettings loaded = editor.shown();
    SettingFlags named{};
    named[static_cast<std::size_t>(Setting::Front)] = true;
    editor.want(loaded, named);
    const std::string theirs = carScript({}, "-0.300", "1.000 1.000 1.000 0.000", "-0.300", "0.000 1.000 1.000 1.000", 15, 20);
    const CarSettings other = readScriptSettings(theirs).settings;
    ASSERT_TRUE(other.front != loaded.front && other.rear != loaded.rear);
    writeBytes(carScriptPath(car), theirs);
    ASSERT_TRUE(editor.save());
    const CarSettings saved = readScriptSettings(readBytes(carScriptPath(car))).settings;
    EXPECT_EQ(std::pair(saved.front, saved.rear), std::pair(loaded.front, other.rear));

    // Then another program takes out the rear-left block: the rear height
    // the script gave at load is missed, though only the front changed.
    ASSERT_TRUE(editor.loadSelectedCar());
    std::string script = readBytes(carScriptPath(car));
    writeBytes(carScriptPath(car), script.replace(script.find("# RL wheel #"), 12, "# RX wheel #"));
    controls.frontHeight.setValue(saved.front + 1);
    EXPECT_FALSE(editor.save());
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_NE(messages.shown.back().text.find("rear ride height"), std::string::npos) << messages.shown.back().text;
}

// The load took the script in; by the save another program has grown it
// (sparsely) far beyond what memory holds.
TEST_F(CarEditorTest, AScriptTooLargeToHoldIsRefusedBeforeItIsRead)
{
    const fs::path script = demoCar("alpha") / "scripts" / "_main_.cfg";
    editor.pickCarFolder(script.parent_path().parent_path());
    ASSERT_TRUE(editor.loadSelectedCar());
    fs::resize_file(script, 100ull << 30);
    EXPECT_FALSE(editor.save());
    EXPECT_FALSE(editor.loadSelectedCar());
    EXPECT_EQ(messages.captions(), (std::vector<std::string>{"Save file", "Read car"}));
    for (const auto& message : messages.shown)
        EXPECT_TRUE(message.text.find("\"alpha\"") < message.text.find("107,374,182,400 bytes")) << message.text;
    EXPECT_EQ(scriptsFolderEntries(script.parent_path().parent_path()),
              (std::vector<std::string>{"._main_.cfg.lock", "_main_.cfg"}));
}

// Another editor saves the car between this one's load and save, changing
// the drive, the rear height, the engines and the wheel sizes to a range of
// one size.
TEST_F(CarEditorTest, ASaveInBetweenKeepsItsChangeUnlessEveryControlIsSaved)
{
    const fs::path car = demoCar("alpha");
    const std::string original = readBytes(car / "scripts" / "_main_.cfg");
    for (const auto scope : {EditorSession::SaveScope::ChangedSettings, EditorSession::SaveScope::EveryControl}) {
        writeBytes(car / "scripts" / "_main_.cfg", original);
        editor.pickCarFolder(car);
        ASSERT_TRUE(editor.loadSelectedCar());
        {
            RecordingMessages otherMessages;
            EditingControls other(otherMessages);
            EditorSession otherEditor(other, otherMessages, FileSystem::real());
            otherEditor.pickCarFolder(car);
            ASSERT_TRUE(otherEditor.loadSelectedCar());
            other.rearHeight.setValue(25);
            other.rearDrive.setValue(true);
            other.engineI4.setValue(0);
            other.engineV10.setValue(1);
            other.smallestWheel.setText("16");
            other.largestWheel.setText("16");
            ASSERT_TRUE(otherEditor.save());
        }
        controls.frontHeight.setValue(3);
        controls.engineV6.setValue(0);
        ASSERT_TRUE(editor.save(scope));
        const std::string saved = scope == EditorSession::SaveScope::ChangedSettings
                                      ? "engines: V10\ndrive: rear\nfront: 3\nrear: 25\nmin: 16\nmax: 16\n"
                                      : "engines: I4\ndrive: front\nfront: 3\nrear: 7\nmin: 15\nmax: 18\n";
        EXPECT_EQ(shownSettings(controls), saved) << "the window shows what was saved";
        ASSERT_TRUE(editor.loadSelectedCar());
        EXPECT_EQ(shownSettings(controls), saved);
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CarEditorTest, PickingADriveThatCannotBeReadKeepsBothChoosers)
{
    ASSERT_TRUE(editor.pickDrive(temporary.path()));
    EXPECT_FALSE(editor.pickDrive(temporary.path() / "no-such-volume"));
    EXPECT_EQ(controls.driveChooser.drive(), temporary.path());
    EXPECT_EQ(controls.folderChooser.path(), temporary.path());
    EXPECT_EQ(messages.captions(), std::vector<std::string>{"Quendral location"});
}

// The form was drawn in whole pixels at 96 DPI, 15 twips each: an edge
// between two pixels lands a pixel off on one front end or the other.
TEST(FormLayoutTest, EveryEdgeFallsOnAPixel)
{
    for (const FormLayout::Control& control : FormLayout::controls())
        for (const int twips : {control.twips.left, control.twips.top, control.twips.width, control.twips.height})
            EXPECT_EQ(twips % 15, 0) << control.name;
}

// Each connection is dropped, disconnected, moved and kept, or kept; a later
// connect clears out the dead, and the signal goes before the connections.
// Only the handlers still connected run, in the order they were connected.
TEST(ChangeSignalTest, RunsTheHandlersStillConnectedAndNoOthers)
{
    std::mt19937 random(20);
    for (int round = 0; round < 100; ++round) {
        std::vector<int> ran, expected;
        std::vector<ScopedConnection> held, moved;
        ChangeSignal signal;
        for (int i = 0; i < 6; ++i)
            held.push_back(signal.connect([&ran, i] { ran.push_back(i); }));
        for (int i = 0; i < 6; ++i) {
            switch (random() % 4) {
            case 0: held[i] = ScopedConnection(); break;
            case 1: held[i].disconnect(); break;
            case 2: moved.push_back(std::move(held[i])); [[fallthrough]];
            default: expected.push_back(i);
            }
        }
        held.push_back(signal.connect([&ran] { ran.push_back(6); }));
        expected.push_back(6);
        signal.emit();
        EXPECT_EQ(ran, expected);
    }
}

// Empty, tiny, around the 64 KB steps of a file whose size is not known,
// and large enough to be given huge pages; then what cannot be read.
TEST(FileLayer, ReadsEveryByteOrSaysWhyNot)
{
    TemporaryFolder folder;
    FileSystem& files = FileSystem::real();
    std::string data, error;
    for (const std::size_t size : {0u, 1u, 4095u, 65535u, 65536u, 65537u, 9u * 1024 * 1024 + 3}) {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xff);
        writeBytes(folder.path() / "_main_.cfg", bytes);
        data = "left over";
        ASSERT_TRUE(files.readFile(folder.path() / "_main_.cfg", data, error, LargestCarScript)) << error;
        EXPECT_TRUE(data == bytes) << size;
    }
    EXPECT_FALSE(files.readFile(folder.path() / "_main_.cfg", data, error, 9u << 20));
    EXPECT_EQ(error, "it is 9,437,187 bytes long, over the limit of 9,437,184 bytes (9 MiB)");
    FileStatus status;
    EXPECT_TRUE(files.status(folder.path() / "_main_.cfg", status, error, Links::Followed));
    EXPECT_EQ(status.size, 9u * 1024 * 1024 + 3);
    EXPECT_TRUE(files.status(folder.path() / "missing", status, error, Links::Followed));
    EXPECT_EQ(status.type, FileType::Missing);
#ifndef _WIN32
    // Pipes, /proc and these words are POSIX's; Windows reads through its own calls.
    ASSERT_EQ(mkfifo((folder.path() / "pipe").c_str(), 0600), 0);
    EXPECT_FALSE(files.status(folder.path() / std::string(300, 'x'), status, error, Links::Followed));
    EXPECT_EQ(error, "File name too long");
    const std::pair<fs::path, std::string> failures[] = {{folder.path() / "missing", "No such file or directory"},
                                                         {folder.path(), "Is a directory"},
                                                         {folder.path() / "pipe", "not a regular file"}};
    for (const auto& [path, reason] : failures) {
        for (const std::size_t limit : {LargestCarScript, std::size_t{4}}) {
            data = "unchanged";
            EXPECT_FALSE(files.readFile(path, data, error, limit));
            EXPECT_EQ(error, reason) << limit;
            EXPECT_EQ(data, "unchanged");
        }
    }
    // A file that reports no size is read to its end, as far as the limit.
    ASSERT_TRUE(files.readFile("/proc/self/cmdline", data, error, LargestCarScript)) << error;
    EXPECT_NE(data.find("core_tests"), std::string::npos);
    EXPECT_FALSE(files.readFile("/proc/self/cmdline", data, error, 4));
    EXPECT_EQ(error, "it grew past the limit of 4 bytes while it was read");
    // Nor does a listing keep a descriptor open.
    const auto openFiles = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), {}); };
    const auto opened = openFiles();
    std::vector<FolderEntry> entries;
    EXPECT_TRUE(files.list(folder.path(), entries, error)) << error;
    EXPECT_EQ(openFiles(), opened);
#endif
}

TEST(FileLayer, TheSaveLockKeepsOutASecondTakerAndFollowsNoLink)
{
    TemporaryFolder folder;
    std::string error;
    auto held = FileSystem::real().lock(folder.path() / "lock", 0ms, error);
    ASSERT_TRUE(held) << error;
    for (const auto& [patience, said] : {std::pair{50ms, "50 milliseconds"}, std::pair{2000ms, "2 seconds"}}) {
        EXPECT_FALSE(FileSystem::real().lock(folder.path() / "lock", patience, error));
        EXPECT_EQ(error, std::string("another process has held it for more than ") + said);
    }
    held.reset();
    EXPECT_TRUE(FileSystem::real().lock(folder.path() / "lock", 0ms, error)) << error;
    fs::create_symlink(folder.path() / "elsewhere", folder.path() / "linked");
    EXPECT_FALSE(FileSystem::real().lock(folder.path() / "linked", 0ms, error));
    EXPECT_FALSE(fs::exists(folder.path() / "elsewhere"));
    error.clear();
    EXPECT_FALSE(FileSystem::real().lock(folder.path() / "gone" / "lock", 0ms, error));
    EXPECT_FALSE(error.empty());
#ifndef _WIN32
    // Whatever the saver's umask, every user may open the lock to wait for it.
    const mode_t usual = ::umask(077);
    EXPECT_TRUE(FileSystem::real().lock(folder.path() / "private", 0ms, error)) << error;
    ::umask(usual);
    EXPECT_EQ(fs::status(folder.path() / "private").permissions(), fs::perms(0644));
#endif
}

} // namespace
} // namespace quendral::test
