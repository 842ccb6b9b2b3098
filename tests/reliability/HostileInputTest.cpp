// Scripts and racers folders that no editor ever wrote: each must be met
// without a crash or a hang, with a message where the user must be told,
// and with nothing on disk changed that the user did not ask to change.

#include "MemoryDisk.h"
#include "ReliabilitySupport.h"
#include "TestSupport.h"

#include "carscript/FileSystem.h"
#include "editor/CarEditor.h"
#include "controls/EditingControls.h"

#include <gtest/gtest.h>

#include <random>

namespace quendral::test {
namespace {

const std::string WellFormed = carScript({"attach    0x000400CF 1    ; v6 blocks",
                                          "attach    0x000400D1 1    ; v10 blocks"},
                                         "-0.420", "1.000 1.000 1.000 0.000", "-0.42",
                                         "0.000 1.000 1.000 1.000", 15, 20);

struct Session
{
    RecordingMessages messages;
    EditingControls controls{messages};
    CarEditor editor{controls, messages, FileSystem::real()};
};

struct Shown
{
    bool loaded = false;
    bool saved = false;
    std::string engines;
    int drive = -1;
    int front = -1;
    int rear = -1;
    std::string smallest;
    std::string largest;
    std::vector<ShownMessage> messages;
};

// Loads the car, notes what the window would show, then saves it unchanged.
Shown loadAndSave(const std::filesystem::path& car)
{
    Session session;
    EditingControls& controls = session.controls;
    session.editor.pickCarFolder(car);
    Shown shown;
    shown.loaded = session.editor.loadSelectedCar();
    for (const CheckBox* check : controls.engineChecks())
        shown.engines += check->isChecked() ? '1' : '0';
    shown.drive = controls.driveSystem.selected();
    shown.front = controls.frontHeight.value();
    shown.rear = controls.rearHeight.value();
    shown.smallest = controls.smallestWheel.text();
    shown.largest = controls.largestWheel.text();
    // A freshly started window shows no wheel sizes; a script that gives
    // none is saved with the full range.
    if (controls.smallestWheel.text().empty())
        controls.smallestWheel.setText("14");
    if (controls.largestWheel.text().empty())
        controls.largestWheel.setText("21");
    shown.saved = shown.loaded && session.editor.save();
    shown.messages = session.messages.shown;
    return shown;
}

std::string scriptOf(const std::filesystem::path& car)
{
    return readBytes(car / "scripts" / "_main_.cfg");
}

// Bytes that hold none of the texts the editor recognises, so that the
// save must copy every line of them through.
std::string garbage(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(byte(random));
    for (const char* word : {"ext_camera", "steerhelp", "engine_block", "slotdmgmode", "attach", "slottype",
                             "blocks", "wheel #"})
        EXPECT_EQ(bytes.find(word), std::string::npos) << "unlucky seed";
    return bytes;
}

// A script without wheel blocks is written anew, but has no place for the
// wheel sizes a save always writes: the save says so and counts as failed.
void expectSavedWithoutWheelSizes(const Shown& shown)
{
    EXPECT_FALSE(shown.saved);
    ASSERT_EQ(shown.messages.size(), 1u);
    EXPECT_EQ(shown.messages[0].caption, "Save file");
    EXPECT_NE(shown.messages[0].text.find("was saved, but"), std::string::npos) << shown.messages[0].text;
    EXPECT_NE(shown.messages[0].text.find("smallest wheel size 14"), std::string::npos) << shown.messages[0].text;
}

TEST(HostileScripts, EmptyScriptLoadsNothingAndSavesEmpty)
{
    TemporaryFolder folder;
    const auto car = makeCar(folder.path() / "blank", "");
    const Shown shown = loadAndSave(car);
    EXPECT_TRUE(shown.loaded);
    EXPECT_EQ(shown.engines, "0000");
    EXPECT_EQ(shown.drive, -1);
    expectSavedWithoutWheelSizes(shown);
    EXPECT_EQ(scriptOf(car), "");
    EXPECT_EQ(readBytes(car / "scripts" / "_main_backup.cfg"), "");
}

TEST(HostileScripts, BinaryGarbageWithNulBytesIsCopiedThroughLineByLine)
{
    TemporaryFolder folder;
    std::string bytes = garbage(256 * 1024, 20261206);
    bytes.insert(1000, std::string(300, '\0'));
    const auto car = makeCar(folder.path() / "noise", bytes);
    const Shown shown = loadAndSave(car);
    EXPECT_TRUE(shown.loaded);
    EXPECT_EQ(shown.engines, "0000");
    expectSavedWithoutWheelSizes(shown);
    EXPECT_EQ(scriptOf(car), withCrLfLineEnds(bytes));
    EXPECT_EQ(readBytes(car / "scripts" / "_main_backup.cfg"), bytes);
}

TEST(HostileScripts, SingleLineOf50MegabytesIsCopiedThrough)
{
    TemporaryFolder folder;
    std::string line(50u << 20, 'x');
    for (std::size_t i = 0; i < line.size(); i += 4096)
        line[i] = ' ';
    line += "\r\n";
    const auto car = makeCar(folder.path() / "long", line);
    const Shown shown = loadAndSave(car);
    EXPECT_TRUE(shown.loaded);
    expectSavedWithoutWheelSizes(shown);
    EXPECT_TRUE(scriptOf(car) == line) << "the 50 MB line did not come out as it stood";
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// Line ends other than CR LF must not change what the editor reads or
// writes: the saved script is the one a CR LF script gives.
class OtherLineEnds : public testing::TestWithParam<std::pair<const char*, std::string>>
{
};

TEST_P(OtherLineEnds, ReadAndSaveLikeCrLf)
{
    TemporaryFolder folder;
    const auto reference = makeCar(folder.path() / "reference", WellFormed);
    const auto car = makeCar(folder.path() / "variant", GetParam().second);
    const Shown expected = loadAndSave(reference);
    const Shown shown = loadAndSave(car);
    ASSERT_TRUE(expected.saved);
    EXPECT_TRUE(shown.saved);
    EXPECT_EQ(shown.engines, "0101");
    EXPECT_EQ(shown.drive, 2);
    EXPECT_EQ(shown.front, 6);
    EXPECT_EQ(shown.rear, 6);
    EXPECT_EQ(shown.smallest, "15");
    EXPECT_EQ(shown.largest, "20");
    EXPECT_TRUE(shown.messages.empty());
    EXPECT_EQ(scriptOf(car), scriptOf(reference));
    EXPECT_EQ(readBytes(car / "scripts" / "_main_backup.cfg"), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, OtherLineEnds,
    testing::Values(std::make_pair("CrOnly", replaceAll(WellFormed, "\r\n", "\r")),
                    std::make_pair("LfOnly", replaceAll(WellFormed, "\r\n", "\n")),
                    std::make_pair("NoFinalLineEnd", WellFormed.substr(0, WellFormed.size() - 2))),
    [](const auto& info) { return std::string(info.param.first); });

// Scripts saved in UTF-16 by some text editor: the load and the save refuse
// them, whose bytes the editor would damage; a UTF-8 byte-order mark is just
// part of the first line, as ever.
struct Encoded
{
    const char* name;
    std::string bytes;
    friend void PrintTo(const Encoded& encoded, std::ostream* out) { *out << encoded.name; }
};

class Encodings : public testing::TestWithParam<Encoded>
{
};

std::string utf16(std::string_view text, bool bigEndian)
{
    std::string wide;
    for (const char c : text)
        wide += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    return wide;
}

TEST_P(Encodings, Utf16IsRefusedByTheLoadAndTheSave)
{
    const std::string& bytes = GetParam().bytes;
    const bool refused = !bytes.starts_with("\xEF\xBB\xBF");
    TemporaryFolder folder;
    const auto car = makeCar(folder.path() / "wide", WellFormed);
    Session session;
    session.editor.pickCarFolder(car);
    ASSERT_TRUE(session.editor.loadSelectedCar());
    // Another program rewrites the script between the load and the save.
    writeBytes(car / "scripts" / "_main_.cfg", bytes);
    EXPECT_EQ(session.editor.save(), !refused);
    EXPECT_EQ(session.editor.loadSelectedCar(), !refused);
    if (!refused) {
        EXPECT_TRUE(session.messages.shown.empty());
        const auto reference = makeCar(folder.path() / "reference", WellFormed);
        ASSERT_TRUE(loadAndSave(reference).saved);
        EXPECT_EQ(scriptOf(car), "\xEF\xBB\xBF" + scriptOf(reference));
        return;
    }
    EXPECT_EQ(session.messages.captions(), (std::vector<std::string>{"Save file", "Read car"}));
    for (const ShownMessage& message : session.messages.shown) {
        EXPECT_NE(message.text.find("\"wide\""), std::string::npos) << message.text;
        EXPECT_NE(message.text.find("UTF-16"), std::string::npos) << message.text;
    }
    EXPECT_EQ(scriptOf(car), bytes);
    EXPECT_FALSE(std::filesystem::exists(car / "scripts" / "_main_backup.cfg"));
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, Encodings,
    testing::Values(Encoded{"Utf16LittleEndian", "\xFF\xFE" + utf16(WellFormed, false)},
                    Encoded{"Utf16BigEndian", "\xFE\xFF" + utf16(WellFormed, true)},
                    Encoded{"Utf16WithoutMark", utf16(WellFormed, false)},
                    Encoded{"Utf8WithMark", "\xEF\xBB\xBF" + WellFormed}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HostileScripts, UnrecognisedScriptWithoutAFinalLineEndGetsOne)
{
    TemporaryFolder folder;
    const auto car = makeCar(folder.path() / "open", "; first\r\nname  Open,  1\r\nlast line, no end  ");
    expectSavedWithoutWheelSizes(loadAndSave(car));
    EXPECT_EQ(scriptOf(car), "; first\r\nname  Open,  1\r\nlast line, no end  \r\n");
}

TEST(HostileScripts, ScriptEndingInsideASkipIsRefusedNamingTheCar)
{
    TemporaryFolder folder;
    const std::string cut = WellFormed.substr(0, WellFormed.find("steerhelp"));
    const auto car = makeCar(folder.path() / "cut", cut);
    const Shown shown = loadAndSave(car);
    EXPECT_TRUE(shown.loaded);
    EXPECT_FALSE(shown.saved);
    ASSERT_EQ(shown.messages.size(), 1u);
    EXPECT_NE(shown.messages.front().text.find("\"cut\""), std::string::npos);
    EXPECT_NE(shown.messages.front().text.find("steerhelp"), std::string::npos);
    EXPECT_EQ(scriptOf(car), cut);
    EXPECT_EQ(scriptsFolderEntries(car), (std::vector<std::string>{"._main_.cfg.lock", "_main_.cfg"}));
}

// Opens a racers folder as the window's folder chooser does.
struct Scan
{
    bool opened = false;
    std::vector<std::string> names;
    std::vector<std::filesystem::path> folders;
    bool enabled = false;
    std::vector<ShownMessage> messages;
};

Scan scan(const std::filesystem::path& racers)
{
    Session session;
    Scan result;
    result.opened = session.editor.openFolder(racers);
    result.names = session.controls.carList.items();
    for (int i = 0; i < session.editor.carTable().size(); ++i)
        result.folders.push_back(session.editor.carTable().entry(i)->folder);
    result.enabled = session.controls.editingFrame.isEnabled();
    result.messages = session.messages.shown;
    return result;
}

TEST(HostileRacersFolders, TenThousandCarsAreListedAndPairedByName)
{
    TemporaryFolder folder;
    const auto racers = folder.path() / "racers";
    // Twenty thousand entries are the program's business, not the disk's:
    // kept in memory where the machine allows it.
    const MemoryDisk disk(racers, "256m");
    constexpr int Cars = 10000;
    for (int i = 0; i < Cars; ++i) {
        const std::string name = "car" + std::to_string(i);
        writeBytes(racers / (name + ".rpk"), "");
        std::filesystem::create_directory(racers / name);
    }
    makeCar(racers / "car9999", WellFormed);
    const auto before = folderSnapshot(racers);

    const Scan result = scan(racers);
    EXPECT_TRUE(result.opened);
    EXPECT_TRUE(result.enabled);
    ASSERT_EQ(result.names.size(), static_cast<std::size_t>(Cars));
    ASSERT_EQ(result.folders.size(), static_cast<std::size_t>(Cars));
    for (std::size_t i = 0; i < result.names.size(); ++i)
        ASSERT_EQ(result.folders[i].filename().string(), result.names[i]);
    EXPECT_EQ(folderSnapshot(racers), before);

    const Shown shown = loadAndSave(racers / "car9999");
    EXPECT_TRUE(shown.saved);
}

TEST(HostileRacersFolders, NamesThatAreNotUtf8AreListedLoadedAndSaved)
{
    TemporaryFolder folder;
    const auto racers = folder.path() / "racers";
    const std::string latin1 = "caf\xe9";
    const std::string broken = "\xff\xfe\x80";
    for (const std::string& name : {latin1, broken}) {
        writeBytes(racers / (name + ".rpk"), "");
        makeCar(racers / name, WellFormed);
    }
    const Scan result = scan(racers);
    EXPECT_TRUE(result.enabled);
    EXPECT_EQ(result.names, (std::vector<std::string>{latin1, broken}));
    for (const auto& car : result.folders) {
        const Shown shown = loadAndSave(car);
        EXPECT_TRUE(shown.saved) << car;
        EXPECT_EQ(readBytes(car / "scripts" / "_main_backup.cfg"), WellFormed);
    }

    // A missing script is reported with the name as it stands on disk.
    std::filesystem::remove(racers / latin1 / "scripts" / "_main_.cfg");
    const Shown missing = loadAndSave(racers / latin1);
    ASSERT_FALSE(missing.messages.empty());
    EXPECT_NE(missing.messages.front().text.find("\"" + latin1 + "\""), std::string::npos);
}

TEST(HostileRacersFolders, SymbolicLinkLoopsEndTheScanAndAreReportedWhenPicked)
{
    TemporaryFolder folder;
    const auto racers = folder.path() / "racers";
    makeCar(racers / "real", WellFormed);
    for (const char* name : {"real", "self", "ping", "pong", "up"})
        writeBytes(racers / (std::string(name) + ".rpk"), "");
    std::filesystem::create_directory_symlink(racers / "self", racers / "self");
    std::filesystem::create_directory_symlink(racers / "pong", racers / "ping");
    std::filesystem::create_directory_symlink(racers / "ping", racers / "pong");
    std::filesystem::create_directory_symlink(racers, racers / "up");
    const auto before = folderSnapshot(racers);

    const Scan result = scan(racers);
    EXPECT_TRUE(result.enabled);
    EXPECT_EQ(result.names, (std::vector<std::string>{"ping", "pong", "real", "self", "up"}));
    for (const auto& car : result.folders) {
        const Shown shown = loadAndSave(car);
        if (car.filename() == "real") {
            EXPECT_TRUE(shown.saved);
            continue;
        }
        EXPECT_FALSE(shown.loaded) << car;
        ASSERT_EQ(shown.messages.size(), 1u) << car;
        EXPECT_NE(shown.messages.front().text.find("\"" + car.filename().string() + "\""), std::string::npos);
    }
    auto after = folderSnapshot(racers);
    EXPECT_EQ(after.erase("real/scripts/_main_.cfg") + after.erase("real/scripts/_main_backup.cfg")
                  + after.erase("real/scripts/._main_.cfg.lock") + std::erase_if(after, [](const auto& entry) {
                        return entry.first.starts_with("real/scripts/_main_history");
                    }),
              5u);
    auto unchanged = before;
    unchanged.erase("real/scripts/_main_.cfg");
    EXPECT_EQ(after, unchanged);
}

TEST(HostileRacersFolders, CarFileThatIsAFolderIsNoCar)
{
    TemporaryFolder folder;
    const auto racers = folder.path() / "racers";
    std::filesystem::create_directories(racers / "ghost.rpk");
    makeCar(racers / "ghost", WellFormed);

    Scan result = scan(racers);
    EXPECT_TRUE(result.opened);
    EXPECT_FALSE(result.enabled);
    EXPECT_TRUE(result.names.empty());

    writeBytes(racers / "solid.rpk", "");
    makeCar(racers / "solid", WellFormed);
    result = scan(racers);
    EXPECT_TRUE(result.enabled);
    EXPECT_EQ(result.names, std::vector<std::string>{"solid"});
}

} // namespace
} // namespace quendral::test
