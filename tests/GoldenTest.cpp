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

class Golden : public testing::TestWithParam<std::string>
{
protected:
    // Runs the tool on the car; returns the exit status, what it printed
    // and what it printed as errors, with "{car}" for the car's folder.
    int run(std::vector<std::string> arguments, std::string& printed)
    {
        arguments.insert(arguments.begin() + 1, car.string());
        std::ostringstream out, err;
        const int status = runCarTool(arguments, out, err, FileSystem::real());
        printed = out.str() + err.str();
        // On Windows the folder is printed with backslashes, doubled where
        // the text is escaped; the golden files have it with slashes.
        std::string shown = car.string();
#ifdef _WIN32
        for (std::size_t at = 0; (at = shown.find('\\', at)) != std::string::npos; at += 2)
            shown.insert(at, 1, '\\');
        for (std::size_t at; (at = printed.find(shown)) != std::string::npos;)
            printed.replace(at, shown.size(), "{car}");
        shown = car.string();
#endif
        for (std::size_t at; (at = printed.find(shown)) != std::string::npos;)
            printed.replace(at, shown.size(), "{car}");
#ifdef _WIN32
        for (const std::string_view separator : {"\\\\", "\\"})
            for (std::size_t at; (at = printed.find(separator)) != std::string::npos;)
                printed.replace(at, separator.size(), "/");
#endif
        return status;
    }
    std::string golden(const char* extension) const { return readBytes(GoldenFolder / (GetParam() + extension)); }

    TemporaryFolder folder;
    const fs::path car = folder.path() / "car";
};

TEST_P(Golden, ShowAndSetDoAsRecorded)
{
    const std::string input = golden(".in.cfg");
    makeCar(car, input);
    std::istringstream settings(golden(".settings"));
    std::string options, exit, printed;
    std::getline(settings, options);
    std::getline(settings, exit);
    const std::string messages(std::istreambuf_iterator<char>(settings), {});

    EXPECT_EQ(run({"show"}, printed), golden(".show").starts_with("Read car") ? 1 : 0);
    EXPECT_EQ(printed, golden(".show"));
    std::vector<std::string> set = {"set"};
    for (std::istringstream words(options); words >> options;)
        set.push_back(options);
    const int status = run(set, printed);
    EXPECT_EQ("exit " + std::to_string(status), exit);
    EXPECT_EQ(printed, messages);
    const std::string output = readBytes(car / "scripts" / "_main_.cfg");
    EXPECT_TRUE(output == golden(".out.cfg")) << output;
    if (fs::exists(car / "scripts" / "_main_backup.cfg") || status == 0) {
        EXPECT_TRUE(readBytes(car / "scripts" / "_main_backup.cfg") == input);
        // A save that changed nothing keeps no version.
        EXPECT_EQ(scriptsFolderEntries(car), output == input ? LockAndBackup : LockBackupAndHistory);
        EXPECT_TRUE(historyContents(car) == (output == input ? std::vector<std::string>{} : std::vector<std::string>{input}));
    }
    EXPECT_EQ(run(set, printed), status);
    EXPECT_TRUE(readBytes(car / "scripts" / "_main_.cfg") == output) << "a second save changed the script";
    EXPECT_EQ(historyContents(car).size(), output == input ? 0u : 1u) << "a save that changed nothing kept a version";

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
