#include "app/cli/CarTool.h"
#include "carscript/CarFiles.h"
#include "carscript/FileSystem.h"
#include "carscript/ScriptVocabulary.h"
#include "Support.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <map>
#include <regex>
#include <sstream>

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace quendral {
namespace {

namespace fs = std::filesystem;

struct Ran
{
    int status;
    std::string out;
    std::string err;
};

Ran run(const std::vector<std::string>& arguments)
{
    std::ostringstream out;
    std::ostringstream err;
    const int status = runCarTool(arguments, out, err, FileSystem::real());
    return {status, out.str(), err.str()};
}

std::string replaced(std::string text, std::string_view from, std::string_view to)
{
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// Every file below a folder: its bytes (its size, when large) and its time.
std::map<fs::path, std::pair<std::string, fs::file_time_type>> snapshot(const fs::path& folder)
{
    std::map<fs::path, std::pair<std::string, fs::file_time_type>> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[entry.path()] = {entry.file_size() > 1 << 20 ? std::to_string(entry.file_size())
                                                                : test::readBytes(entry.path()),
                                   entry.last_write_time()};
    return files;
}

// A short script the check finds nothing wrong with; each seeded car
// differs from it in one place.
const std::string Sound = "ext_camera  95 0,1.6,0 0.0,0.9,-2.4    0,0.0,0.0   4\r\nsteerhelp   0.35\r\n"
                          "# FL wheel #\r\nhub\r\nradius\r\n"
                          "suspension    -0.360 0.120 0.080 0.250 2.1000 1.000 0.000 1.000 0.000\r\nbrake\r\ngrip\r\n"
                          + wheelSizeLine(16) + "\r\n" + wheelSizeLine(20) + "\r\nslottype    101\r\n"
                          "# RL wheel #\r\nhub\r\nradius\r\n"
                          "suspension    -0.36 0.120 0.080 0.250 2.1000 0.000 1.000 1.000 1.000\r\nbrake\r\ngrip\r\n"
                          "slottype    103\r\n";

enum class Seed { Script, NoScript, NoFolder, ReadOnly, TooLarge, HistoryFile, LockFolder, ReadOnlyFolder };

struct SeededCar
{
    std::string car;
    std::string script;
    Seed seed;
    std::string problem;  // what `check` prints after "CAR: "; empty for none
};

const std::vector<SeededCar> SeededCars = {
    {"camera", replaced(Sound, "steerhelp   0.35\r\n", ""), Seed::Script,
     "a save refuses its car script: the camera line (ext_camera) has no steering-help line"},
    {"cut", Sound + "# RR wheel #\r\nhub\r\n", Seed::Script, "a save refuses its car script: a wheel block ends"},
    {"letters", replaced(Sound, "; 20", "; 2x"), Seed::Script, "its largest wheel size \"2x\" is not a whole number"},
    {"digits", replaced(Sound, "; 16", "; 1y"), Seed::Script, "its smallest wheel size \"1y\" is not a whole number"},
    {"wide", replaced(Sound, "; 20", "; 22"), Seed::Script,
     "its largest wheel size 22 is above 21, and the editor turns it into 21"},
    {"upside", replaced(replaced(Sound, "; 16", "; 19"), "; 20", "; 18"), Seed::Script,
     "its smallest wheel size 19 is above its largest, 18, so a save refuses it"},
    {"even", replaced(Sound, "; 16", "; 20"), Seed::Script, ""},
    {"edges", replaced(replaced(Sound, "; 16", "; 14"), "; 20", "; 21"), Seed::Script, ""},
    {"low", replaced(Sound, "-0.360", "-0.960"), Seed::Script,
     "its front ride height (position 33) is outside 0 to 30, and the editor turns it into 30"},
    {"lowrear", replaced(Sound, "-0.36 ", "-0.96 "), Seed::Script,
     "its rear ride height (position 33) is outside 0 to 30, and the editor turns it into 30"},
    {"plain", "; no wheels\r\n", Seed::Script, "it has no wheel block"},
    {"norear", replaced(Sound, "# RL wheel #", "# RR wheel #"), Seed::Script, "it has no rear-left wheel block"},
    {"wide16", std::string("\xFF\xFE;\0\r\0\n\0", 8), Seed::Script, "_main_.cfg is in UTF-16"},
    {"locked", Sound, Seed::ReadOnly, "scripts/_main_.cfg is read-only, so a save refuses it"},
    {"history", Sound, Seed::HistoryFile, "scripts/_main_history is not a folder, so a save refuses it"},
    {"lock", Sound, Seed::LockFolder, "scripts/._main_.cfg.lock is not a file, so a save refuses it"},
#ifndef _WIN32
    {"shut", Sound, Seed::ReadOnlyFolder, "shut/scripts is read-only, so a save refuses it"},
#endif
    {"huge", Sound, Seed::TooLarge,
     "scripts/_main_.cfg cannot be read: it is 268,435,457 bytes long, over the limit of 268,435,456 bytes (256 MiB)"},
    {"empty", "", Seed::NoScript, "scripts/_main_.cfg cannot be read: No such file or directory"},
    {"lost", "", Seed::NoFolder, "its car file has no folder: "},
    {"Twin", Sound, Seed::Script, ""},
    {"twin", Sound, Seed::Script, "its name differs from that of the car \"Twin\" only in letter case"},
    {"fine", Sound, Seed::Script, ""},
};

TEST(GarageTest, CheckNamesEachSeededProblemOnceWritesNothingAndPassesTheDemoCars)
{
    test::TemporaryFolder temporary;
    const fs::path racers = temporary.path() / "racers";
    std::size_t problems = 0;
    for (const SeededCar& seeded : SeededCars) {
        test::writeBytes(racers / (seeded.car + ".rpk"), "");
        const fs::path script = carScriptPath(racers / seeded.car);
        if (seeded.seed == Seed::NoScript)
            fs::create_directories(racers / seeded.car);
        else if (seeded.seed != Seed::NoFolder)
            test::makeCar(racers / seeded.car, seeded.script);
        constexpr fs::perms Writable = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
        if (seeded.seed == Seed::ReadOnly || seeded.seed == Seed::ReadOnlyFolder)
            fs::permissions(seeded.seed == Seed::ReadOnly ? script : script.parent_path(), Writable,
                            fs::perm_options::remove);
        if (seeded.seed == Seed::HistoryFile)
            test::writeBytes(historyFolderPath(racers / seeded.car), "");
        if (seeded.seed == Seed::LockFolder)
            fs::create_directory(saveLockPath(racers / seeded.car));
        if (seeded.seed == Seed::TooLarge)
            fs::resize_file(script, LargestCarScript + 1);
        problems += seeded.problem.empty() ? 0 : 1;
    }
    const auto before = snapshot(temporary.path());

    const Ran text = run({"check", racers.string()});
    EXPECT_EQ(text.status, 1);
    EXPECT_EQ(std::count(text.out.begin(), text.out.end(), '\n'), static_cast<long>(problems)) << text.out;
    for (const SeededCar& seeded : SeededCars) {
        const std::string lines = "\n" + text.out;
        const std::size_t line = lines.find("\n" + seeded.car + ": ");
        const std::size_t end = lines.find('\n', line + 1);
        if (seeded.problem.empty() || line == std::string::npos)
            EXPECT_TRUE(seeded.problem.empty() && line == std::string::npos) << seeded.car << ":\n" << text.out;
        else
            EXPECT_NE(lines.substr(line, end - line).find(seeded.problem), std::string::npos) << text.out;
    }
    const Ran json = run({"check", racers.string(), "--format=json"});
    EXPECT_EQ(json.status, 1);
    EXPECT_EQ(nlohmann::json::parse(json.out).size(), problems);
    EXPECT_TRUE(snapshot(temporary.path()) == before) << "check wrote a file";
    std::error_code unseeded;  // so that the folder can be removed
    fs::permissions(racers / "shut" / "scripts", fs::perms::owner_all, fs::perm_options::add, unseeded);

    EXPECT_EQ(run({"check", QUENDRAL_EXAMPLES_DIR}).out, "");
    EXPECT_EQ(run({"check", QUENDRAL_EXAMPLES_DIR, (fs::path(QUENDRAL_EXAMPLES_DIR) / "mistral").string()}).status, 0);
}

// Cars whose names a table must carry: a tab, a line break, quotes, a
// comma, blanks at the ends, a byte that is no UTF-8.
const std::vector<std::string> OddNames = {"tab\there", "two\nlines", "say \"hi\", twice", " blank ",
                                           "latin\xE9", "\xC3\xA9t\xC3\xA9 \xF0\x9F\x9A\x97 \x80"};

// An import of the demo cars' table with one change: from and to in that
// table's text (CSV, or JSON where `json`). `line` is the car's line.
struct ImportCase
{
    bool json;
    std::string from;
    std::string to;
    int status;
    std::string printed;  // on standard error, or on standard output when the status is 0
    std::vector<std::string> options = {};
    std::string unreadable = {};  // a car whose script is gone once the table is exported
};

const std::string Mistral = "mistral,no,yes,yes,yes,rear,3,3,16,20";
const std::string MistralJson = R"("car":"mistral","I4":false)";

const std::vector<ImportCase> ImportCases = {
    // The changes, saved.
    {false, Mistral, "mistral,yes,yes,yes,yes,all,7,3,15,20", 0, ""},
    {false, Mistral, "mistral,no,no,yes,no,rear,3,3,16,20", 0, ""},
    {true, MistralJson, R"("car":"mistral","I4":true)", 0, ""},
    {false, Mistral, "mistral,no,yes,yes,yes,rear,9,3,16,20", 0, "mistral: front 3 -> 9\n--- ", {"--dry-run"}},
    {false, Mistral, "mistral,no,yes,yes,yes,rear,5,3,16.0,020", 0, "mistral: front 3 -> 5\n--- ", {"--dry-run"}},
    {false, Mistral + ",s", "mistral,no,yes,yes,yes,rear,9,3,16,20,s0", 0, "", {"--force"}},
    {false, Mistral, "mistral,no,yes,yes,yes,rear,9,3,16,20", 1, "the car \"vortex_r\" cannot be read", {}, "vortex_r"},
    // Tables with one bad row: nothing is saved, not even the good change.
    {false, Mistral, "mistral,nope,yes,yes,yes,rear,3,3,16,20", 2, "line 5, column 2 (I4): \"nope\" is neither"},
    {false, Mistral, "mistral,no,yes,yes,yes,both,3,3,16,20", 2, "line 5, column 6 (drive): \"both\" is not a"},
    {false, Mistral, "mistral,no,yes,yes,yes,rear,31,3,16,20", 2, "line 5, column 7 (front): \"31\" is not a"},
    {false, Mistral, "mistral,no,yes,yes,yes,rear,3,3x,16,20", 2, "line 5, column 8 (rear): \"3x\" is not a ride"},
    {false, Mistral, "mistral,no,yes,yes,yes,rear,3,3,16,2O", 2, "line 5, column 10 (max): \"2O\" is not a whole"},
    {false, Mistral, "mistral,no,yes,yes,yes,none,3,3,16,20", 2, "line 5, column 6 (drive): a drive can be"},
    {false, "mistral,", "mistrel,", 2, "line 5, column 1 (car): the racers folder has no car named \"mistrel\""},
    {false, "vortex_r,", "mistral,", 2, "line 10, column 1 (car): the car \"mistral\" is named on line 5 already"},
    {false, "car,I4", "cars,I4", 2, "line 1: the header is not that of this table"},
    {false, "mistral,no,yes", "mistral,no,y\"es", 2, "line 5, column 3: the quotes of this cell"},
    {false, Mistral, "mistral,no,yes,yes,yes,rear,3,3,16", 2, "line 5: the row has 10 cells where the header has 11"},
    {false, Mistral, "mistral,no,yes,yes,yes,rear,3,3,16,22", 2, "line 5, column 10 (max): \"22\" is above 21"},
    {false, Mistral, "mistral,no,yes,yes,yes,rear,3,3,12,20", 2, "line 5, column 9 (min): \"12\" is below 14"},
    {false, Mistral, "mistral,no,yes,yes,yes,rear,3,3,19,18", 2, "column 9 (min): \"19\" is above the largest wheel"},
    {false, Mistral, "mistral,no,yes,yes,yes,rear,3,3,16.5,20", 2, "column 9 (min): \"16.5\" is not a whole number"},
    {false, Mistral + ",s", Mistral + ",s0", 2, "column 11 (script): the car \"mistral\" changed after the table was"},
    {false, "mistral,no", "mistral," + std::string(90, 'n'), 2, "(I4): \"" + std::string(80, 'n') + "\u2026\" is nei"},
    {false, "max,script", "max,script,,", 2, "line 1: the header is not that of this table: expected car,I4,"},
    {true, MistralJson, R"("car":"mistral","I4":1e400)", 2, "number overflow parsing '1e400'"},
    {true, MistralJson, R"("car":"mistral","car":"mistral","I4":false)", 2, "line 5, \"car\": the key is given twice"},
    {true, MistralJson, R"("car":"mistral","I4":"no")", 2, "line 5, \"I4\": \"no\" is not a value"},
    {true, MistralJson, R"("car":"mistral","I3":false)", 2, "line 5, \"I3\": the table has no such key"},
    {true, MistralJson, R"("car":"mistral","I4":[false])", 2, "the table holds arrays or objects inside its rows"},
    {true, R"("drive":"rear")", R"("drive":null)", 2, "line 2, \"drive\": null is not a value"},
    {true, "}\n]", "}\n", 2, "parse error at line"},
};

TEST(GarageTest, ImportOfAnExportedTableChangesExactlyItsChangedCellsOrNothingAtAll)
{
    test::TemporaryFolder temporary;
    const fs::path racers = temporary.path() / "racers";
    const auto freshRacers = [&] {
        fs::remove_all(racers);
        fs::copy(QUENDRAL_EXAMPLES_DIR, racers, fs::copy_options::recursive);
        for (const std::string& name : OddNames) {
            fs::copy(racers / "mistral", racers / name, fs::copy_options::recursive);
            test::writeBytes(racers / (name + ".rpk"), "");
        }
    };
    freshRacers();
    const fs::path table = temporary.path() / "table";
    for (const bool json : {false, true}) {
        SCOPED_TRACE(json ? "json" : "csv");
        const Ran exported = run({"export", racers.string(), "--format", json ? "json" : "csv"});
        ASSERT_EQ(exported.status, 0) << exported.err;
        test::writeBytes(table, exported.out);
        const auto before = snapshot(racers);
        const Ran unchanged = run({"import", racers.string(), table.string()});
        EXPECT_EQ(unchanged.status, 0) << unchanged.err;
        EXPECT_EQ(unchanged.err, "quendral-car: the table changes no car; nothing was saved\n");
        EXPECT_TRUE(snapshot(racers) == before) << "an unchanged table wrote";
        if (!json) {
            // As a spreadsheet may write it: a byte-order mark and line feeds alone.
            std::string lineFeeds = "\xEF\xBB\xBF" + exported.out;
            for (std::size_t at = lineFeeds.find("\r\n"); at != std::string::npos; at = lineFeeds.find("\r\n", at))
                lineFeeds.erase(at, 1);
            test::writeBytes(table, lineFeeds);
            EXPECT_EQ(run({"import", racers.string(), table.string()}).status, 0);
            EXPECT_TRUE(snapshot(racers) == before);
        }
    }
    // UTF-8 stands as it is; any other byte is written as \xHH.
    const std::string json = run({"export", racers.string(), "--format=json"}).out;
    for (const char* name : {R"("car":"latin\\xE9")", "\"car\":\"\xC3\xA9t\xC3\xA9 \xF0\x9F\x9A\x97 \\\\x80\""})
        EXPECT_NE(json.find(name), std::string::npos) << name;

    for (const ImportCase& c : ImportCases) {
        SCOPED_TRACE(c.to);
        freshRacers();
        const std::string exported = run({"export", racers.string(), c.json ? "--format=json" : "--format=csv"}).out;
        const std::string edited = replaced(exported, c.from, c.to);
        // The good change beside each bad one shows that nothing is saved.
        const auto good = c.json ? std::pair{R"("car":"falcon_gt","I4":true)", R"("car":"falcon_gt","I4":false)"}
                                 : std::pair{"falcon_gt,yes", "falcon_gt,no"};
        test::writeBytes(table, c.status != 0 ? replaced(edited, good.first, good.second) : edited);
        if (!c.unreadable.empty())
            fs::remove(carScriptPath(racers / c.unreadable));
        const auto before = snapshot(racers);
        std::vector<std::string> arguments = {"import", racers.string(), table.string()};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const Ran imported = run(arguments);
        EXPECT_EQ(imported.status, c.status) << imported.err;
        EXPECT_NE((c.status == 0 ? imported.out : imported.err).find(c.printed), std::string::npos)
            << imported.out << imported.err;
        EXPECT_EQ(imported.err.ends_with("nothing was saved\n"), c.status != 0) << imported.err;
        const auto after = snapshot(racers);
        const bool saves = c.status == 0 && (c.options.empty() || c.options[0] == "--force");
        for (const auto& [path, file] : before)
            EXPECT_EQ(after.at(path) == file, !saves || path.parent_path().parent_path().filename() != "mistral")
                << path;
        // The car saved has a new fingerprint.
        const auto unprinted = [](const std::string& table) {
            return std::regex_replace(table, std::regex("s[0-9a-f]{12,13}([\r\"])"), "s$1");
        };
        if (saves) {
            EXPECT_EQ(unprinted(run({"export", racers.string(), c.json ? "--format=json" : "--format=csv"}).out),
                      unprinted(edited));
        }
    }
    // A save that fails while the import runs fails the import.
    freshRacers();
    fs::create_directory(backupScriptPath(racers / "mistral"));
    test::writeBytes(table, replaced(run({"export", racers.string()}).out, Mistral, "mistral,no,yes,yes,yes,rear,4,3,16,20"));
    const Ran failed = run({"import", racers.string(), table.string()});
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.err.find("\"mistral\" was not saved"), std::string::npos) << failed.err;
}

// Tables as spreadsheets save them, in tests/tables: NAME.csv is imported
// into the demo cars and cars whose names a spreadsheet would rewrite;
// NAME.expected holds "exit N", then lines each found in what is printed.
TEST(GarageTest, SpreadsheetTablesImportAsRecorded)
{
    test::TemporaryFolder temporary;
    const fs::path racers = temporary.path() / "racers";
    fs::copy(QUENDRAL_EXAMPLES_DIR, racers, fs::copy_options::recursive);
    for (const std::string name : {"007", "3.10", "1e5", "=SUM(A1)"}) {
        fs::copy(racers / "mistral", racers / name, fs::copy_options::recursive);
        test::writeBytes(racers / (name + ".rpk"), "");
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(QUENDRAL_TABLES_DIR)) {
        if (entry.path().extension() != ".csv")
            continue;
        SCOPED_TRACE(entry.path().filename());
        std::istringstream expected(test::readBytes(fs::path(entry.path()).replace_extension(".expected")));
        // A copy beside the cars: Windows' own paths, where a path with a
        // leading slash would be read as an option.
        const fs::path table = temporary.path() / entry.path().filename();
        fs::copy_file(entry.path(), table, fs::copy_options::overwrite_existing);
        const auto before = snapshot(racers);
        const Ran imported = run({"import", racers.string(), table.string()});
        for (std::string line; std::getline(expected, line);)
            EXPECT_NE(line == "exit " + std::to_string(imported.status) ? 0 : (imported.out + imported.err).find(line),
                      std::string::npos) << imported.out << imported.err;
        EXPECT_TRUE(snapshot(racers) == before);
    }
    // A name a spreadsheet would take for a formula is exported after a '.
    const std::string exported = run({"export", racers.string()}).out;
    EXPECT_NE(exported.find("\r\n'=SUM(A1),no,"), std::string::npos) << exported;
}

#ifndef _WIN32
// Where a process may open few files, a batch saves its cars one at a time.
TEST(GarageTest, ABatchUnderATightLimitOfOpenFilesSavesEveryCar)
{
    test::TemporaryFolder temporary;
    const fs::path racers = temporary.path() / "racers";
    fs::copy(QUENDRAL_EXAMPLES_DIR, racers, fs::copy_options::recursive);
    rlimit usual{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &usual), 0);
    rlimit tight = usual;
    tight.rlim_cur = 66;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
    const Ran saved = run({"set", (racers / "falcon_gt").string(), (racers / "mistral").string(), "--front", "4"});
    setrlimit(RLIMIT_NOFILE, &usual);
    EXPECT_EQ(saved.status, 0) << saved.err;
    for (const char* car : {"falcon_gt", "mistral"})
        EXPECT_NE(run({"show", (racers / car).string()}).out.find("\nfront: 4\n"), std::string::npos) << car;
}
#endif

} // namespace
} // namespace quendral
