// The golden cases, one per NAME in tests/golden/: a car script
// (NAME.in.cfg); what `quendral-car show` prints for it, then what it prints
// as errors (NAME.show); the options of a `set` on it, "exit N" and the
// messages it prints, "{car}" standing for the car's folder (NAME.settings);
// and the car script that `set` must leave, byte for byte (NAME.out.cfg).
// A new case is four files. Every golden script also goes through the
// properties of tests/support.

#include "app/cli/CarTool.h"
#include "carscript/FileSystem.h"
#include "Properties.h"
#include "Support.h"

#include <gtest/gtest.h>

#include <sstream>

namespace quendral::test {
namespace {

namespace fs = std::filesystem;

const fs::path GoldenFolder = QUENDRAL_GOLDEN_DIR;

std::vector<std::string> goldenCases()
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(GoldenFolder))
        if (const std::string name = entry.path().filename().string(); name.ends_with(".in.cfg"))
            names.push_back(name.substr(0, name.size() - 7));
    std::sort(names.begin(), names.end());
    return names;
}

struct Ran
{
    int status;
    std::string out, err;
};

Ran run(const std::vector<std::string>& arguments)
{
    std::ostringstream out, err;
    const int status = runCarTool(arguments, out, err, FileSystem::real());
    return {status, out.str(), err.str()};
}

class Golden : public testing::TestWithParam<std::string>
{
};

TEST_P(Golden, ShowAndSetDoAsRecorded)
{
    const std::string input = readBytes(GoldenFolder / (GetParam() + ".in.cfg"));
    std::istringstream settings(readBytes(GoldenFolder / (GetParam() + ".settings")));
    std::string options, exit, word;
    std::getline(settings, options);
    std::getline(settings, exit);
    const std::string messages(std::istreambuf_iterator<char>(settings), {});
    TemporaryFolder folder;
    const fs::path car = makeCar(folder.path() / "car", input);

    const Ran shown = run({"show", car.string()});
    EXPECT_EQ(shown.out + shown.err, readBytes(GoldenFolder / (GetParam() + ".show")));

    std::vector<std::string> set = {"set", car.string()};
    for (std::istringstream words(options); words >> word;)
        set.push_back(word);
    Ran saved = run(set);
    for (std::size_t at; (at = saved.err.find(car.string())) != std::string::npos;)
        saved.err.replace(at, car.string().size(), "{car}");
    EXPECT_EQ("exit " + std::to_string(saved.status), exit);
    EXPECT_EQ(saved.err, messages);
    const std::string output = readBytes(car / "scripts" / "_main_.cfg");
    EXPECT_EQ(output, readBytes(GoldenFolder / (GetParam() + ".out.cfg")));
    if (fs::exists(car / "scripts" / "_main_backup.cfg") || saved.status == 0) {
        EXPECT_EQ(readBytes(car / "scripts" / "_main_backup.cfg"), input);
        EXPECT_EQ(scriptsFolderEntries(car), (std::vector<std::string>{"._main_.cfg.lock", "_main_.cfg", "_main_backup.cfg"}));
    }
    EXPECT_EQ(run(set).status, saved.status);
    EXPECT_EQ(readBytes(car / "scripts" / "_main_.cfg"), output) << "a second save changed the script";

    std::mt19937 random(7);
    EXPECT_EQ(violation([&] { checkFieldReader(input); }), "");
    EXPECT_EQ(violation([&] { checkLoad(input); }), "");
    for (int round = 0; round < 20; ++round)
        EXPECT_EQ(violation([&] { checkRewrite(input, randomSettings(random)); }), "");
}

INSTANTIATE_TEST_SUITE_P(Scripts, Golden, testing::ValuesIn(goldenCases()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

} // namespace
} // namespace quendral::test
