// Two quendral-car processes save the same car at the same moment, round
// after round. The car script must always be one complete output of one of
// them, never a mix, and the backup one complete version.

#include "ChildProcess.h"
#include "ReliabilitySupport.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <iostream>

namespace quendral::test {
namespace {

// Under the sanitizers each save runs many times slower; the sanitizer pass
// races fewer, smaller saves.
#ifdef QUENDRAL_SANITIZED
constexpr int Rounds = 20;
constexpr std::size_t ScriptSize = 1u << 20;
#else
constexpr int Rounds = 60;
constexpr std::size_t ScriptSize = 3u << 20;
#endif

// Each process sets every setting, so its output does not depend on which
// version of the script it happened to read.
const std::vector<std::string> First = {"--engines", "I4,V6", "--drive", "front", "--front", "3",
                                        "--rear", "7", "--min", "15", "--max", "17"};
const std::vector<std::string> Second = {"--engines", "V8,V10", "--drive", "rear", "--front", "27",
                                         "--rear", "22", "--min", "18", "--max", "21"};

std::vector<std::string> setArguments(const std::filesystem::path& car, const std::vector<std::string>& changes)
{
    std::vector<std::string> arguments = {"set", car.string()};
    arguments.insert(arguments.end(), changes.begin(), changes.end());
    return arguments;
}

std::string saveAlone(const std::filesystem::path& car, const std::string& from,
                      const std::vector<std::string>& changes)
{
    writeBytes(car / "scripts" / "_main_.cfg", from);
    ChildProcess tool(QUENDRAL_CAR_TOOL, setArguments(car, changes));
    EXPECT_EQ(tool.wait(), 0);
    return readBytes(car / "scripts" / "_main_.cfg");
}

TEST(TwoSavesAtOnce, TheScriptIsAlwaysOneCompleteOutput)
{
    TemporaryFolder folder;
    const std::string oldScript = largeCarScript(ScriptSize);
    const auto car = makeCar(folder.path() / "racers" / "vortex_r", oldScript);

    const std::string first = saveAlone(car, oldScript, First);
    const std::string second = saveAlone(car, oldScript, Second);
    ASSERT_NE(first, second);
    // Whichever version a process reads, it writes the same output.
    ASSERT_EQ(saveAlone(car, second, First), first);
    ASSERT_EQ(saveAlone(car, first, Second), second);

    int firstWon = 0, secondWon = 0;
    for (int round = 0; round < Rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        writeBytes(car / "scripts" / "_main_.cfg", oldScript);
        std::filesystem::remove(car / "scripts" / "_main_backup.cfg");
        const auto log = folder.path() / ("round" + std::to_string(round % 2));
        const bool firstStarts = round % 2 == 0;
        ChildProcess a(QUENDRAL_CAR_TOOL, setArguments(car, firstStarts ? First : Second), log.string() + "a");
        ChildProcess b(QUENDRAL_CAR_TOOL, setArguments(car, firstStarts ? Second : First), log.string() + "b");
        EXPECT_EQ(a.wait(), 0) << readBytes(log.string() + "a");
        EXPECT_EQ(b.wait(), 0) << readBytes(log.string() + "b");

        const std::string script = readBytes(car / "scripts" / "_main_.cfg");
        ASSERT_TRUE(script == first || script == second)
            << "the car script holds " << script.size() << " bytes, a mix of both saves";
        (script == first ? firstWon : secondWon) += 1;
        const std::string backup = readBytes(car / "scripts" / "_main_backup.cfg");
        ASSERT_TRUE(backup == oldScript || backup == first || backup == second)
            << "the backup holds " << backup.size() << " bytes";
        ASSERT_EQ(scriptsFolderEntries(car), (std::vector<std::string>{"_main_.cfg", "_main_backup.cfg"}));
    }
    RecordProperty("rounds", Rounds);
    std::cout << "[ figures  ] " << Rounds << " concurrent rounds: the first save's output won " << firstWon
              << ", the second's " << secondWon << "\n";
}

} // namespace
} // namespace quendral::test
