// quendral-car is killed with SIGKILL at many moments of a save of a large
// script. The rename that puts the new script in place must make every
// kill land on one side of it: the old script or the new one, byte for
// byte, and the next save must work as though nothing had happened.

#include "ChildProcess.h"
#include "ReliabilitySupport.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <iostream>
#include <random>
#include <thread>

#include <sys/stat.h>

namespace quendral::test {
namespace {

// Under the sanitizers each save runs many times slower; the sanitizer pass
// checks the same protocol on a smaller script, fewer times.
#ifdef QUENDRAL_SANITIZED
constexpr int Kills = 20;
constexpr std::size_t ScriptSize = 4u << 20;
#else
constexpr int Kills = 40;
constexpr std::size_t ScriptSize = 16u << 20;
#endif
const std::vector<std::string> Changes = {"--engines", "V6,V10", "--drive", "rear", "--front", "21",
                                          "--rear", "3", "--min", "16", "--max", "20"};

// The moments of a save at which a kill is aimed. They are found by watching
// the scripts folder, not by the clock, so that a slow or busy machine
// spreads the kills just as well.
enum class Moment { Reading, WritingHistory, WritingScript, SyncingScript, AfterRename };
constexpr std::array<Moment, 5> Moments = {Moment::Reading, Moment::WritingHistory, Moment::WritingScript,
                                           Moment::SyncingScript, Moment::AfterRename};
constexpr std::array<const char*, 5> MomentNames = {"reading", "writing the history", "writing the script",
                                                    "syncing the script", "after the rename"};

std::vector<std::string> setArguments(const std::filesystem::path& car)
{
    std::vector<std::string> arguments = {"set", car.string()};
    arguments.insert(arguments.end(), Changes.begin(), Changes.end());
    return arguments;
}

bool isTemporaryOf(const std::string& name, const std::string& target)
{
    return name.starts_with("." + target + ".new-");
}

int removeTemporaries(const std::filesystem::path& car)
{
    int removed = 0;
    for (const std::string& name : scriptsFolderEntries(car))
        if (isTemporaryOf(name, "_main_.cfg") || isTemporaryOf(name, "_main_backup.cfg")) {
            std::filesystem::remove(car / "scripts" / name);
            ++removed;
        }
    return removed;
}

// The size of the temporary file being written for `target` ("" for an
// entry of the history), or -1.
std::intmax_t temporarySize(const std::filesystem::path& car, const std::string& target)
{
    const auto folder = car / "scripts" / (target.empty() ? "_main_history" : "");
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (target.empty() ? name.starts_with('.') : isTemporaryOf(name, target)) {
            const auto size = std::filesystem::file_size(it->path(), ec);
            return ec ? -1 : static_cast<std::intmax_t>(size);
        }
    }
    return -1;
}

ino_t inodeOf(const std::filesystem::path& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : ino_t{};
}

TEST(KilledWhileSaving, TheScriptIsAlwaysTheOldOrTheNewOneAndTheNextSaveWorks)
{
    TemporaryFolder folder;
    const std::string oldScript = largeCarScript(ScriptSize);
    const auto car = makeCar(folder.path() / "racers" / "mistral", oldScript);
    const auto script = car / "scripts" / "_main_.cfg";
    const auto backup = car / "scripts" / "_main_backup.cfg";
    const auto log = folder.path() / "tool.log";

    {
        ChildProcess tool(QUENDRAL_CAR_TOOL, setArguments(car), log);
        ASSERT_EQ(tool.wait(), 0) << readBytes(log);
    }
    const std::string newScript = readBytes(script);
    ASSERT_NE(newScript, oldScript);
    std::filesystem::remove(backup);

    std::mt19937 random(std::random_device{}());
    const unsigned seed = random();
    random.seed(seed);
    SCOPED_TRACE("random seed " + std::to_string(seed));
    std::uniform_real_distribution<double> fraction(0.0, 1.0);
    std::uniform_int_distribution<int> readingMicros(0, 20000);

    std::array<int, Moments.size()> aimed{}, hit{};
    int keptOld = 0, gotNew = 0, finishedFirst = 0, temporariesLeft = 0;
    // The moment after the rename lasts only until the process exits; a try
    // that finds it over is made again, a few times at most.
    int retries = 0;
    for (int kill = 0; kill < Kills; ++kill) {
        const Moment moment = Moments[static_cast<std::size_t>(kill) % Moments.size()];
        SCOPED_TRACE("kill " + std::to_string(kill) + " " + MomentNames[static_cast<std::size_t>(moment)]);
        if (readBytes(script) != oldScript)
            writeBytes(script, oldScript);
        const ino_t oldInode = inodeOf(script);
        const auto share = [&](const std::string& bytes) {
            return static_cast<std::intmax_t>(fraction(random) * static_cast<double>(bytes.size()));
        };
        const std::intmax_t backupBytes = share(oldScript);
        const std::intmax_t scriptBytes = share(newScript);

        ChildProcess tool(QUENDRAL_CAR_TOOL, setArguments(car));
        ASSERT_TRUE(tool.started());
        bool due = false;
        if (moment == Moment::Reading) {
            std::this_thread::sleep_for(std::chrono::microseconds(readingMicros(random)));
            due = !tool.finished();
        }
        while (!due && !tool.finished()) {
            switch (moment) {
            case Moment::Reading: break;
            case Moment::WritingHistory: due = temporarySize(car, "") >= backupBytes; break;
            case Moment::WritingScript: due = temporarySize(car, "_main_.cfg") >= scriptBytes; break;
            case Moment::SyncingScript:
                due = temporarySize(car, "_main_.cfg") == static_cast<std::intmax_t>(newScript.size());
                break;
            case Moment::AfterRename: due = inodeOf(script) != oldInode; break;
            }
            if (!due)
                std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
        ++aimed[static_cast<std::size_t>(moment)];
        if (due)
            ++hit[static_cast<std::size_t>(moment)];
        else
            ++finishedFirst;
        tool.kill();
        tool.wait();

        const std::string now = readBytes(script);
        const bool isOld = now == oldScript;
        const bool isNew = now == newScript;
        ASSERT_TRUE(isOld || isNew) << "the car script holds " << now.size() << " bytes, neither version";
        (isOld ? keptOld : gotNew) += 1;

        std::string backupNow;
        if (fileHolds(backup, backupNow)) {
            ASSERT_TRUE(backupNow == oldScript) << "the backup holds " << backupNow.size() << " bytes";
        }
        // The history holds the old script once at most, and may hold the
        // temporary file of it; the next save starts it afresh.
        int entries = 0;
        std::error_code ec;
        for (std::filesystem::directory_iterator it(car / "scripts" / "_main_history", ec), end; !ec && it != end;
             it.increment(ec))
            if (!it->path().filename().string().starts_with('.')) {
                ++entries;
                ASSERT_EQ(readBytes(it->path()), oldScript) << it->path();
            }
        ASSERT_LE(entries, 1);
        std::filesystem::remove_all(car / "scripts" / "_main_history");

        // A killed save leaves its hidden temporary file, which would mislead
        // the watching of the next save.
        temporariesLeft += removeTemporaries(car);
        if (!due && moment == Moment::AfterRename && retries < 3 * Kills / static_cast<int>(Moments.size())) {
            ++retries;
            --kill;
        }
    }

    // The next save removes what killed saves left behind.
    writeBytes(script, oldScript);
    writeBytes(car / "scripts" / "._main_.cfg.new-0123456789ab", newScript.substr(0, 1000));
    writeBytes(car / "scripts" / "._main_backup.cfg.new-a0b1c2d3e4f5", oldScript.substr(0, 1000));
    writeBytes(car / "scripts" / "_main_history" / "._main_.20261207T120000.000Z.cfg.new-0a1b2c3d4e5f", "partial");
    {
        ChildProcess tool(QUENDRAL_CAR_TOOL, setArguments(car), log);
        ASSERT_EQ(tool.wait(), 0) << readBytes(log);
    }
    EXPECT_EQ(readBytes(script), newScript);
    EXPECT_EQ(readBytes(backup), oldScript);
    EXPECT_EQ(scriptsFolderEntries(car),
              (std::vector<std::string>{"._main_.cfg.lock", "_main_.cfg", "_main_backup.cfg", "_main_history"}));
    EXPECT_EQ(historyContents(car), std::vector<std::string>{oldScript});

    // The kills must have fallen on both sides of the rename.
    EXPECT_GT(keptOld, 0);
    EXPECT_GT(hit[static_cast<std::size_t>(Moment::AfterRename)], 0);
    RecordProperty("kills", Kills + retries);
    std::cout << "[ figures  ] " << Kills + retries << " kills survived (script " << (oldScript.size() >> 20)
              << " MiB): " << keptOld << " left the old script, " << gotNew << " the new one; "
              << temporariesLeft << " left a temporary file; kills that hit their moment:";
    for (std::size_t i = 0; i < Moments.size(); ++i)
        std::cout << ' ' << MomentNames[i] << ' ' << hit[i] << '/' << aimed[i] << ',';
    std::cout << " process already ended " << finishedFirst << " (" << retries << " tries made again)\n";
}

} // namespace
} // namespace quendral::test
