// Two quendral-car processes save the same car at the same moment, round
// after round, one changing the front ride height and the other the rear.
// Saves of one car wait for each other, and each writes what it was asked
// to change onto what the other wrote: both changes reach the script every
// time, and both processes report success.

#include "ChildProcess.h"
#include "ReliabilitySupport.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

namespace quendral::test {
namespace {

// Under the sanitizers each save runs many times slower; the sanitizer pass
// races smaller saves.
#ifdef QUENDRAL_SANITIZED
constexpr std::size_t ScriptSize = 1u << 20;
#else
constexpr std::size_t ScriptSize = 3u << 20;
#endif
constexpr int Rounds = 10;

const std::vector<std::string> Front = {"--front", "12"};
const std::vector<std::string> Rear = {"--rear", "27"};

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

TEST(TwoSavesAtOnce, BothChangesAreSavedOneAfterTheOther)
{
    TemporaryFolder folder;
    const std::string oldScript = largeCarScript(ScriptSize);
    const auto car = makeCar(folder.path() / "racers" / "vortex_r", oldScript);

    const std::string frontOnly = saveAlone(car, oldScript, Front);
    const std::string rearOnly = saveAlone(car, oldScript, Rear);
    const std::string both = saveAlone(car, frontOnly, Rear);
    ASSERT_NE(both, frontOnly);
    ASSERT_NE(both, rearOnly);
    ASSERT_EQ(saveAlone(car, rearOnly, Front), both) << "the order of the saves must not matter";

    int frontFirst = 0, rearFirst = 0;
    for (int round = 0; round < Rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        writeBytes(car / "scripts" / "_main_.cfg", oldScript);
        std::filesystem::remove(car / "scripts" / "_main_backup.cfg");
        std::filesystem::remove_all(car / "scripts" / "_main_history");
        const auto log = folder.path() / ("round" + std::to_string(round % 2));
        const bool frontStarts = round % 2 == 0;
        ChildProcess a(QUENDRAL_CAR_TOOL, setArguments(car, frontStarts ? Front : Rear), log.string() + "a");
        ChildProcess b(QUENDRAL_CAR_TOOL, setArguments(car, frontStarts ? Rear : Front), log.string() + "b");
        EXPECT_EQ(a.wait(), 0) << readBytes(log.string() + "a");
        EXPECT_EQ(b.wait(), 0) << readBytes(log.string() + "b");

        const std::string script = readBytes(car / "scripts" / "_main_.cfg");
        ASSERT_TRUE(script == both) << (script == frontOnly  ? "the rear change was lost"
                                        : script == rearOnly ? "the front change was lost"
                                                             : "the car script is neither save's output");
        // The backup is the script as the second save found it.
        const std::string backup = readBytes(car / "scripts" / "_main_backup.cfg");
        ASSERT_TRUE(backup == frontOnly || backup == rearOnly) << "the backup holds " << backup.size() << " bytes";
        (backup == frontOnly ? frontFirst : rearFirst) += 1;
        ASSERT_EQ(scriptsFolderEntries(car),
                  (std::vector<std::string>{"._main_.cfg.lock", "_main_.cfg", "_main_backup.cfg", "_main_history"}));
        // Each save kept the script it replaced.
        ASSERT_EQ(historyContents(car), (std::vector<std::string>{std::min(oldScript, backup), std::max(oldScript, backup)}));
    }
    RecordProperty("rounds", Rounds);
    std::cout << "[ figures  ] " << Rounds << " concurrent rounds, both changes kept in each: the front save went first "
              << frontFirst << " times, the rear save " << rearFirst << "\n";
}

} // namespace
} // namespace quendral::test
