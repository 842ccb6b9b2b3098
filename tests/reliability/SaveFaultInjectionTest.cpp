// Every step of the file layer that a save goes through is made to fail in
// turn; whichever fails, the car script must stay as it was, no temporary
// file may stay behind, the backup may only ever be a complete copy, the
// history must be as it was until the backup is replaced, and the user must
// be told which car was not saved.

#include "FaultyFileSystem.h"
#include "ReliabilitySupport.h"
#include "TestSupport.h"

#include "carscript/FileSystem.h"
#include "editor/CarEditor.h"
#include "controls/EditingControls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

namespace quendral::test {
namespace {

const std::string PreviousBackup = "; the backup of an earlier save\r\n";

struct EditOutcome
{
    bool loaded = false;
    bool saved = false;
    std::vector<ShownMessage> messages;
};

// Picks the car, changes every setting the way a user would and saves, as
// the command-line tool does.
EditOutcome editAndSave(const std::filesystem::path& car, FileSystem& fileSystem)
{
    RecordingMessages messages;
    EditingControls controls(messages);
    CarEditor editor(controls, messages, fileSystem);
    EditOutcome outcome;
    editor.pickCarFolder(car);
    outcome.loaded = editor.loadSelectedCar();
    if (outcome.loaded) {
        controls.engineV8.setValue(1);
        controls.allDrive.setValue(true);
        controls.frontHeight.setValue(12);
        controls.rearHeight.setValue(20);
        controls.smallestWheel.setText("16");
        controls.largestWheel.setText("19");
        outcome.saved = editor.save();
    }
    outcome.messages = messages.shown;
    return outcome;
}

class SaveUnderInjectedFaults : public testing::Test
{
protected:
    void SetUp() override
    {
        // Large enough for the new script to reach the disk in several writes.
        original = largeCarScript(700 * 1024);

        // As the failing saves will: the backup an older editor left goes
        // into the history first.
        TemporaryFolder folder;
        const auto car = freshCar(folder);
        FaultyFileSystem counting(FileSystem::real());
        const EditOutcome clean = editAndSave(car, counting);
        ASSERT_TRUE(clean.saved);
        ASSERT_TRUE(clean.messages.empty());
        expected = readBytes(car / "scripts" / "_main_.cfg");
        ASSERT_NE(expected, original);
        for (const FileStep step : FileSteps)
            counts.push_back(counting.count(step));
    }

    std::filesystem::path freshCar(const TemporaryFolder& folder) const
    {
        const auto car = makeCar(folder.path() / "mistral", original);
        writeBytes(car / "scripts" / "_main_backup.cfg", PreviousBackup);
        return car;
    }

    std::string original;
    std::string expected;
    std::vector<int> counts;
};

TEST_F(SaveUnderInjectedFaults, TheCleanSaveTakesEveryKindOfStep)
{
    // Reads: load, save and the earlier backup; creates: the history folder,
    // two entries, the backup's link and the script; flushes and commits:
    // the entries, the link and the script; writes: the entries at once,
    // the script in pieces; one lock; the script and the backup inspected.
    const std::vector<int> atLeast = {3, 5, 4, 4, 4, 1, 2};
    for (std::size_t i = 0; i < counts.size(); ++i)
        EXPECT_GE(counts[i], atLeast[i]) << stepName(FileSteps[i]);
}

// Each failure point fails once as the disk would report it and once by
// running out of memory there.
TEST_F(SaveUnderInjectedFaults, EveryFailurePointLeavesTheScriptWholeAndTellsTheUser)
{
    int injected = 0;
    for (const bool outOfMemory : {false, true}) {
        for (std::size_t i = 0; i < FileSteps.size(); ++i) {
            const FileStep step = FileSteps[i];
            for (int occurrence = 1; occurrence <= counts[i]; ++occurrence) {
                SCOPED_TRACE(std::string(stepName(step)) + " #" + std::to_string(occurrence)
                             + (outOfMemory ? ", out of memory" : ""));
                TemporaryFolder folder;
                const auto car = freshCar(folder);
                FaultyFileSystem faults(FileSystem::real());
                if (outOfMemory)
                    faults.runOutOfMemoryAt(step, occurrence);
                else
                    faults.failAt(step, occurrence, "No space left on device");

                const EditOutcome outcome = editAndSave(car, faults);
                ASSERT_TRUE(faults.failureInjected());
                ++injected;

                EXPECT_FALSE(outcome.saved);
                EXPECT_EQ(readBytes(car / "scripts" / "_main_.cfg"), original);
                const std::string backup = readBytes(car / "scripts" / "_main_backup.cfg");
                EXPECT_TRUE(backup == PreviousBackup || backup == original)
                    << "the backup holds " << backup.size() << " bytes";
                // Once the backup is replaced, the history keeps both versions.
                const bool kept = backup == original;
                std::vector<std::string> entries = {"_main_.cfg", "_main_backup.cfg"};
                if (kept)
                    entries.push_back("_main_history");
                if (std::filesystem::exists(car / "scripts" / "._main_.cfg.lock"))
                    entries.insert(entries.begin(), "._main_.cfg.lock");
                EXPECT_EQ(scriptsFolderEntries(car), entries);
                const std::vector<std::string> both = {std::min(PreviousBackup, original),
                                                       std::max(PreviousBackup, original)};
                EXPECT_EQ(historyContents(car), kept ? both : std::vector<std::string>{});

                ASSERT_EQ(outcome.messages.size(), 1u);
                const ShownMessage& message = outcome.messages.front();
                EXPECT_NE(message.text.find("\"mistral\""), std::string::npos) << message.text;
                EXPECT_NE(message.text.find(outOfMemory ? "not enough memory" : "No space left on device"),
                          std::string::npos)
                    << message.text;
                EXPECT_EQ(message.caption, outcome.loaded ? "Save file" : "Read car");

                // The car is not stuck: the next save goes through.
                const EditOutcome retry = editAndSave(car, FileSystem::real());
                EXPECT_TRUE(retry.saved);
                EXPECT_EQ(readBytes(car / "scripts" / "_main_.cfg"), expected);
                EXPECT_EQ(readBytes(car / "scripts" / "_main_backup.cfg"), original);
            }
        }
    }
    RecordProperty("failure_points_injected", injected);
    std::cout << "[ figures  ] failure points injected: " << injected << ", each step once failing and once out of memory (";
    for (std::size_t i = 0; i < FileSteps.size(); ++i)
        std::cout << (i ? ", " : "") << counts[i] << ' ' << stepName(FileSteps[i]);
    std::cout << ")\n";
}

} // namespace
} // namespace quendral::test
