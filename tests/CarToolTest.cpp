#include "app/cli/CarTool.h"
#include "carscript/CarFiles.h"
#include "carscript/FileSystem.h"
#include "ProgramInfo.h"
#include "Support.h"

#include <gtest/gtest.h>

#include <sstream>

namespace quendral::test {
namespace {

namespace fs = std::filesystem;

// A car whose name holds a tab, a line break, a backslash and a control
// character, each of which `list` must escape.
constexpr std::string_view OddName = "odd\tone\nx\\y\x01!";
constexpr std::string_view OddShown = "odd\\tone\\nx\\\\y\\x01!";

// One run of the tool. Every run stands in the folder of the car mistral,
// inside a copy of the demo racers folder, with a car "bare" and a car "big"
// beside that folder. "{racers}" in the expected texts stands for the racers
// folder's absolute path; "{odd}" for the odd car's name as `list` shows it.
// An expected text is found in what was printed; an empty one means nothing
// was printed. A run that exits with 2 must also print the usage; one that
// does not exit with 0 changes no file unless it says that a car was saved.
// `in` is what standard input holds. The runs take place in this order.
struct ToolCase
{
    std::vector<std::string> arguments;
    int status;
    std::string out;
    std::string err;
    std::string in = {};
};

const std::vector<ToolCase> ToolCases = {
    // Reading.
    {{"list", ".."}, 0,
     "falcon_gt\t{racers}/falcon_gt\nmistral\t{racers}/mistral\n{odd}\t{racers}/{odd}\nvortex_r\t{racers}/vortex_r\n",
     ""},
    {{"list", "../"}, 0, "\nvortex_r\t{racers}/vortex_r\n", ""},
    {{"list", "."}, 1, "", "{racers}/mistral is not a racers folder"},
    {{"list", "../missing"}, 1, "", "Quendral location: The folder \"{racers}/missing\" cannot be opened"},
    {{"show", "."}, 0, "engines: V6 V8 V10\ndrive: rear\nfront: 3\nrear: 3\nmin: 16\nmax: 20\n", ""},
    {{"show", "../nobody"}, 1, "", "Read car: The car script of \"nobody\" cannot be read"},
    {{"show", "../ctl\x01\tname"}, 1, "", "Read car: The car script of \"ctl\\x01\\tname\" cannot be read"},
    {{"show", "../back\\slash"}, 1, "", "Read car: The car script of \"back\\slash\" cannot be read"},
    {{"show", "../../bare"}, 0, "engines:\ndrive: none\nfront: 0\nrear: 0\nmin: \nmax: \n", ""},
    {{"show", "../../bare", "--format=json"}, 0, R"("drive":"none","front":0,"rear":0,"min":"","max":""})", ""},
    {{"show", "../../big"}, 0, "min: 20\nmax: 21\n", "Max size: Maximal wheelsize is 21 inch!!!!\n"},
    {{"list", "..", "--format=json"}, 0, "[\n{\"car\":\"falcon_gt\",\"folder\":\"{racers}/falcon_gt\"},\n", ""},
    {{"show", ".", "--format", "json"}, 0,
     R"({"car":"mistral","I4":false,"V6":true,"V8":true,"V10":true,"drive":"rear","front":3,"rear":3,"min":"16",)"
     R"("max":"20"})" "\n",
     ""},
    {{"check", ".."}, 1, "{odd}: it has no wheel block", ""},
    {{"check", ".", "../vortex_r"}, 0, "", ""},
    {{"export", "."}, 1, "", "{racers}/mistral is not a racers folder"},
    {{"import", "..", "../missing.csv"}, 1, "", "the table ../missing.csv cannot be read: No such file"},
    {{"import", "..", "-", "--dry-run"}, 0, "mistral: front 3 -> 5\n--- ", "",
     "car,I4,V6,V8,V10,drive,front,rear,min,max\nmistral,no,yes,yes,yes,rear,5,3,16,20\n"},
    {{"--help"}, 0, "Subcommands:\n  list ", ""},
    {{"set", "--help"}, 0, "--front P", ""},
    {{"help", "set"}, 0, "Usage: quendral-car set [OPTIONS] [CAR_FOLDER...]\n", ""},
    {{"--version"}, 0, std::string("quendral-car (Quendral Car Editor) ") + program::Version + "\n", ""},
    // Usage errors.
    {{"set", "../falcon_gt", "--front", "31"}, 2, "", "--front takes a position from 0 to 30, not \"31\""},
    {{"set", "../falcon_gt", "--front=31"}, 2, "", "--front takes a position from 0 to 30, not \"31\""},
    {{"set", "../falcon_gt", "--rear", "-1"}, 2, "", "--rear takes a position from 0 to 30, not \"-1\""},
    {{"set", "../falcon_gt", "--engines", "V8,V12"}, 2, "", "unknown engine family in \"V8,V12\""},
    {{"set", "../falcon_gt", "--engines", ""}, 2, "", "unknown engine family in \"\""},
    {{"set", "../falcon_gt", "--drive=both"}, 2, "", "--drive takes front, rear or all, not \"both\""},
    {{"set", "../falcon_gt", "--colour", "red"}, 2, "", "unknown option --colour"},
    {{"set", "../falcon_gt", "--max"}, 2, "", "--max needs a value"},
    {{"set", "../falcon_gt", "--dry-run=maybe missing"}, 2, "", "Could not convert: --dry-run = maybe missing\n"},
    {{"set", "--front=", "../falcon_gt"}, 2, "", "--front takes a position from 0 to 30, not \"\""},
    {{"set", "--max", "20"}, 2, "", "set needs at least one car folder"},
    {{"set", "", "--max", "20"}, 2, "", "a folder argument is empty"},
    {{"set", ".", "", "--max", "20"}, 2, "", "a folder argument is empty"},
    {{"show", ""}, 2, "", "a folder argument is empty"},
    {{"list", ""}, 2, "", "a folder argument is empty"},
    {{"list", "..", ".."}, 2, "", "list takes one racers folder"},
    {{"show"}, 2, "", "show takes one car folder"},
    {{"drive"}, 2, "", "unknown command drive"},
    {{"check"}, 2, "", "check needs a racers folder or car folders"},
    {{"export", "..", "--format", "text"}, 2, "", "--format takes csv or json, not \"text\""},
    {{"import", ".."}, 2, "", "import takes a racers folder and a table"},
    {{"import", "..", "table.csv", "more"}, 2, "", "unknown command more"},
    {{"help", "drive"}, 2, "", "unknown command drive"},
    {{}, 2, "", "a command is needed"},
    // Saving, each followed by a look at what was saved.
    {{"set", "../falcon_gt", "--front=3", "--rear=4", "--drive=all", "--engines=V8", "--min=15", "--max=19"}, 0,
     "", ""},
    {{"show", "../falcon_gt"}, 0, "engines: V8\ndrive: all\nfront: 3\nrear: 4\nmin: 15\nmax: 19\n", ""},
    {{"set", ".", "--min", "12", "--max", "25", "--engines", "none"}, 0, "",
     "{racers}/mistral: Max size: Maximal wheelsize is 21 inch!!!!\n{racers}/mistral: Min size: Minimum wheelsize "
     "is 14 inch!!!! \nThe size has been corrected.\n"},
    {{"show", "."}, 0, "engines:\ndrive: rear\nfront: 3\nrear: 3\nmin: 14\nmax: 21\n", ""},
    {{"set", "../falcon_gt", "--min="}, 1, "", "{racers}/falcon_gt: Min size: "},
    {{"set", "../falcon_gt", "--max=x"}, 1, "", "{racers}/falcon_gt: Max size: "},
    {{"set", "../falcon_gt", "--min=40000"}, 1, "", "{racers}/falcon_gt: Min size: "},
    {{"set", "../falcon_gt", "--min=16", "--max=16"}, 0, "", ""},
    {{"set", "../ghost", "../falcon_gt", "--max", "14"}, 1, "",
     "ghost/scripts/_main_.cfg: No such file or directory.\n{racers}/falcon_gt: MIN>MAX: "},
    {{"set", ".", "../vortex_r", "--drive", "front"}, 0, "", ""},
    {{"set", "../vortex_r", "../../linked", "--rear", "9"}, 0, "",
     "linked: Save file: The car \"linked\" shares its scripts folder with the car \"vortex_r\""},
    {{"show", "."}, 0, "drive: front\n", ""},
};

class CarToolTest : public testing::Test
{
protected:
    void SetUp() override
    {
        racers = temporary.path() / "racers";
        fs::copy(QUENDRAL_EXAMPLES_DIR, racers, fs::copy_options::recursive);
        makeCar(racers / OddName, "; a car with an odd name\r\n");
        writeBytes(racers / (std::string(OddName) + ".rpk"), "");
        makeCar(temporary.path() / "bare", "; nothing the editor reads\r\n");
        fs::create_directories(temporary.path() / "linked");
        fs::create_directory_symlink(racers / "vortex_r" / "scripts", temporary.path() / "linked" / "scripts");
        makeCar(temporary.path() / "big", "# FL wheel #\r\na\r\nb\r\nc\r\nd\r\ne\r\nattach      0x00040106 1 ; 20\r\n"
                                          "attach      0x00040108 1 ; 22\r\nslottype    101\r\n");
        startedIn = fs::current_path();
        fs::current_path(racers / "mistral");
    }

    void TearDown() override { fs::current_path(startedIn); }

    ToolCase run(const std::vector<std::string>& arguments, const std::string& given = {})
    {
        std::istringstream in(given);
        std::ostringstream out, err;
        const int status = runCarTool(arguments, in, out, err, FileSystem::real());
        return {arguments, status, out.str(), err.str()};
    }

    std::string car(const char* name) const { return (racers / name).string(); }
    std::string script(const char* name) const { return readBytes(carScriptPath(racers / name)); }

    TemporaryFolder temporary;
    fs::path racers;
    fs::path startedIn;
};

void expectPrinted(const std::string& printed, std::string expected, const fs::path& racers)
{
    if (expected.empty()) {
        EXPECT_EQ(printed, "");
        return;
    }
    for (const auto& [placeholder, value] : {std::pair<std::string, std::string>{"{racers}", racers.string()},
                                             {"{odd}", std::string(OddShown)}})
        for (std::size_t at = expected.find(placeholder); at != std::string::npos; at = expected.find(placeholder))
            expected.replace(at, placeholder.size(), value);
    EXPECT_NE(printed.find(expected), std::string::npos) << "printed:\n" << printed << "\nexpected:\n" << expected;
}

TEST_F(CarToolTest, EachCaseExitsAndPrintsAsExpected)
{
    const fs::path shownRacers = fs::current_path().parent_path();
    for (const ToolCase& c : ToolCases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        const auto before = folderSnapshot(temporary.path());
        const ToolCase ran = run(c.arguments, c.in);
        EXPECT_EQ(ran.status, c.status) << ran.err;
        expectPrinted(ran.out, c.out, shownRacers);
        expectPrinted(ran.err, c.err, shownRacers);
        EXPECT_EQ(ran.err.find("usage:") != std::string::npos, c.status == 2);
        EXPECT_TRUE(c.status == 0 || ran.err.find("was saved") != std::string::npos || folderSnapshot(temporary.path()) == before)
            << "a file was changed";
    }
}

TEST_F(CarToolTest, SetSavesACarOnceThoughNamedAgainAndASecondSetChangesNothing)
{
    const std::string original = script("falcon_gt");
    fs::create_directory_symlink(racers / "falcon_gt", temporary.path() / "alias");
    // Another car, whose folder's name differs from vortex_r's in case alone.
    fs::copy(racers / "vortex_r", racers / "VORTEX_R", fs::copy_options::recursive);
    const std::vector<std::string> set = {
        "set",      car("falcon_gt"), car("vortex_r"), "../falcon_gt/", (temporary.path() / "alias").string(), car("VORTEX_R"),
        "--engines", "V8,V10",        "--drive",       "all",           "--front",
        "0",        "--rear",         "30",            "--min",         "16",
        "--max",    "19"};
    const ToolCase saved = run(set);
    EXPECT_EQ(saved.status, 0) << saved.err;
    EXPECT_TRUE(saved.err.empty());
    EXPECT_EQ(readBytes(backupScriptPath(racers / "falcon_gt")), original);
    for (const char* name : {"falcon_gt", "vortex_r", "VORTEX_R"})
        EXPECT_EQ(run({"show", car(name)}).out, "engines: V8 V10\ndrive: all\nfront: 0\nrear: 30\nmin: 16\nmax: 19\n");

    const std::string first = script("falcon_gt");
    EXPECT_EQ(run(set).status, 0);
    EXPECT_EQ(script("falcon_gt"), first);
    EXPECT_EQ(readBytes(backupScriptPath(racers / "falcon_gt")), first);
}

} // namespace
} // namespace quendral::test
