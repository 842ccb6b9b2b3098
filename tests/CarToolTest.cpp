#include "app/cli/CarTool.h"
#include "carscript/CarFiles.h"
#include "carscript/FileSystem.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace quendral {
namespace {

namespace fs = std::filesystem;

struct ToolRun
{
    int status;
    std::string out;
    std::string err;
};

class CarToolTest : public testing::Test
{
protected:
    void SetUp() override
    {
        racers = temporary.path() / "racers";
        fs::copy(QUENDRAL_EXAMPLES_DIR, racers, fs::copy_options::recursive);
    }

    ToolRun run(std::vector<std::string> arguments)
    {
        std::ostringstream out;
        std::ostringstream err;
        const int status = runCarTool(arguments, out, err, FileSystem::real());
        return {status, out.str(), err.str()};
    }

    std::string car(const char* name) const { return (racers / name).string(); }
    std::string script(const char* name) const { return test::readBytes(carScriptPath(racers / name)); }

    test::TemporaryFolder temporary;
    fs::path racers;
};

TEST_F(CarToolTest, ListsTheCarsWithTheirFolders)
{
    const ToolRun listed = run({"list", racers.string() + "/"});
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out, "falcon_gt\t" + car("falcon_gt") + "\nmistral\t" + car("mistral") + "\nvortex_r\t"
                              + car("vortex_r") + "\n");

    const ToolRun notRacers = run({"list", car("mistral")});
    EXPECT_EQ(notRacers.status, 1);
    EXPECT_TRUE(notRacers.out.empty());
    EXPECT_NE(notRacers.err.find("not a racers folder"), std::string::npos);

    EXPECT_EQ(run({"list", (racers / "missing").string()}).status, 1);
}

TEST_F(CarToolTest, ShowsWhatTheEditorShows)
{
    const ToolRun shown = run({"show", car("mistral")});
    EXPECT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(shown.out, "engines: V6 V8 V10\ndrive: rear\nfront: 3\nrear: 3\nmin: 16\nmax: 20\n");
    EXPECT_TRUE(shown.err.empty());

    const ToolRun missing = run({"show", (racers / "nobody").string()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.out.empty());
    EXPECT_TRUE(missing.err.starts_with("Read car: "));
}

TEST_F(CarToolTest, ShowsAFreshEditorsValuesForWhatTheScriptLacksAndReportsTheMaximumCheck)
{
    const fs::path bare = temporary.path() / "bare";
    test::makeCar(bare, "; nothing the editor reads\r\n");
    EXPECT_EQ(run({"show", bare.string()}).out, "engines:\ndrive: none\nfront: 0\nrear: 0\nmin: \nmax: \n");

    const fs::path big = temporary.path() / "big";
    test::makeCar(big, test::crlf(test::wheelBlock("# FL wheel #", "-0.500", "1.000 0.000 1.000 0.000", 20, 22,
                                                   "slottype    101")));
    const ToolRun shown = run({"show", big.string()});
    EXPECT_EQ(shown.err, "Max size: Maximal wheelsize is 21 inch!!!!\n");
    EXPECT_TRUE(shown.out.ends_with("min: 20\nmax: 21\n"));
}

TEST_F(CarToolTest, SetSavesWhatShowThenShowsAndASecondSetChangesNothing)
{
    const std::vector<std::string> set = {"set",     car("falcon_gt"), car("vortex_r"), "--engines", "V8,V10",
                                          "--drive", "all",            "--front",       "0",         "--rear",
                                          "30",      "--min",          "16",            "--max",     "19"};
    const ToolRun saved = run(set);
    EXPECT_EQ(saved.status, 0) << saved.err;
    EXPECT_TRUE(saved.err.empty());
    for (const char* name : {"falcon_gt", "vortex_r"})
        EXPECT_EQ(run({"show", car(name)}).out,
                  "engines: V8 V10\ndrive: all\nfront: 0\nrear: 30\nmin: 16\nmax: 19\n");

    const std::string first = script("falcon_gt");
    EXPECT_EQ(run(set).status, 0);
    EXPECT_EQ(script("falcon_gt"), first);
    EXPECT_EQ(test::readBytes(backupScriptPath(racers / "falcon_gt")), first);
}

TEST_F(CarToolTest, SetPrintsTheEditorsMessagesForEachCar)
{
    const ToolRun saved = run({"set", car("mistral"), "--min", "12", "--max", "25", "--engines", "none"});
    EXPECT_EQ(saved.status, 0);
    EXPECT_EQ(saved.err, car("mistral") + ": Max size: Maximal wheelsize is 21 inch!!!!\n" + car("mistral")
                             + ": Min size: Minimum wheelsize is 14 inch!!!! \nThe size has been corrected.\n");
    EXPECT_EQ(run({"show", car("mistral")}).out, "engines:\ndrive: rear\nfront: 3\nrear: 3\nmin: 14\nmax: 21\n");
}

TEST_F(CarToolTest, ARefusedCarFailsTheRunButTheOthersAreSaved)
{
    const std::string before = script("mistral");
    const ToolRun saved = run({"set", (racers / "ghost").string(), car("falcon_gt"), "--max", "14"});
    EXPECT_EQ(saved.status, 1);
    EXPECT_NE(saved.err.find("ghost: Read car: "), std::string::npos);
    EXPECT_NE(saved.err.find("falcon_gt: MIN>MAX: "), std::string::npos);

    const ToolRun other = run({"set", car("mistral"), car("vortex_r"), "--drive", "front"});
    EXPECT_EQ(other.status, 0);
    EXPECT_NE(script("mistral"), before);
}

TEST_F(CarToolTest, UsageErrorsChangeNothing)
{
    const std::string before = script("falcon_gt");
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"set", car("falcon_gt"), "--front", "31"},
          {"set", car("falcon_gt"), "--rear", "-1"},
          {"set", car("falcon_gt"), "--engines", "V8,V12"},
          {"set", car("falcon_gt"), "--engines", ""},
          {"set", car("falcon_gt"), "--drive", "both"},
          {"set", car("falcon_gt"), "--colour", "red"},
          {"set", car("falcon_gt"), "--max"},
          {"set", "--max", "20"},
          {"show"},
          {"drive"},
          {}}) {
        const ToolRun refused = run(arguments);
        EXPECT_EQ(refused.status, 2) << testing::PrintToString(arguments);
        EXPECT_NE(refused.err.find("usage:"), std::string::npos);
    }
    EXPECT_EQ(script("falcon_gt"), before);
    EXPECT_FALSE(fs::exists(backupScriptPath(racers / "falcon_gt")));
}

} // namespace
} // namespace quendral
