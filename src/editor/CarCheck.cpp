#include "editor/CarCheck.h"

#include "carscript/ByteSink.h"
#include "carscript/CarFiles.h"
#include "carscript/FileSystem.h"
#include "carscript/ScriptRewriter.h"
#include "carscript/SettingsReader.h"
#include "carscript/WheelLine.h"
#include "catalogue/FolderListing.h"
#include "settings/TextNumber.h"
#include "editor/SaveMessages.h"
#include "editor/SaveObstacles.h"
#include "settings/InQuotes.h"

#include <algorithm>
#include <array>
#include <map>
#include <new>

namespace quendral {

namespace {

namespace fs = std::filesystem;

class DiscardingSink final : public ByteSink
{
public:
    bool write(std::string_view) override { return true; }
};

constexpr std::array<const char*, 4> WheelNames = {"front-left", "front-right", "rear-left", "rear-right"};

void checkRideHeight(const char* axle, bool given, int position, std::vector<std::string>& problems)
{
    if (!given || (position >= RideHeightMinimum && position <= RideHeightMaximum))
        return;
    const int shown = std::clamp(position, RideHeightMinimum, RideHeightMaximum);
    problems.push_back(std::string("its ") + axle + " ride height (position " + std::to_string(position)
                       + ") is outside 0 to 30, and the editor turns it into " + std::to_string(shown));
}

void checkWheelSizes(const ScriptSettings& read, std::vector<std::string>& problems)
{
    if (!has(read.given, Setting::Largest)) {
        problems.push_back("its front-left wheel block has no wheel-size lines (attach), so nothing gives its "
                           "wheel sizes");
        return;
    }
    const auto smallest = toWholeNumber(read.settings.smallest);
    const auto largest = toWholeNumber(read.settings.largest);
    if (!smallest)
        problems.push_back("its smallest wheel size " + inQuotes(read.settings.smallest) + " is not a whole number");
    if (!largest)
        problems.push_back("its largest wheel size " + inQuotes(read.settings.largest) + " is not a whole number");
    if (!smallest || !largest)
        return;
    if (*largest > LargestWheelSize)
        problems.push_back("its largest wheel size " + std::to_string(*largest)
                           + " is above 21, and the editor turns it into 21");
    if (*smallest < SmallestWheelSize)
        problems.push_back("its smallest wheel size " + std::to_string(*smallest)
                           + " is below 14, and a save turns it into 14");
    const int lowest = std::max<int>(*smallest, SmallestWheelSize);
    const int highest = std::min<int>(*largest, LargestWheelSize);
    if (lowest > highest)
        problems.push_back("its smallest wheel size " + std::to_string(lowest) + " is above its largest, "
                           + std::to_string(highest) + ", so a save refuses it");
}

std::vector<std::string> scriptProblems(const fs::path& carFolder, FileSystem& fileSystem)
{
    const fs::path script = carScriptPath(carFolder);
    std::string data;
    std::string error;
    if (!fileSystem.readFile(script, data, error, LargestCarScript))
        return {"its car script " + script.string() + " cannot be read: " + error};
    if (isUtf16Text(data))
        return {"its car script " + script.string() + " is " + std::string(InUtf16)};

    std::vector<std::string> problems;
    for (const std::string& obstacle : saveObstacles(carFolder, fileSystem))
        problems.push_back(obstacle + ", so a save refuses it");

    const ScriptSettings loaded = readScriptSettings(data);

    // A drive is chosen so that the rewrite tries every wheel line.
    CarSettings settings;
    settings.drive = Drive::All;
    settings.smallest = std::to_string(SmallestWheelSize);
    settings.largest = std::to_string(LargestWheelSize);
    DiscardingSink discarded;
    RewriteNotes rewritten;
    if (!rewriteScript(data, settings, discarded, error, &rewritten)) {
        problems.push_back("a save refuses its car script: " + error);
        return problems;
    }
    const auto& blocks = rewritten.wheelBlock;
    if (std::none_of(blocks.begin(), blocks.end(), [](bool met) { return met; })) {
        problems.push_back("it has no wheel block (\"# FL wheel #\" and the like), so the editor has nothing to "
                           "change but its engines");
        return problems;
    }
    for (std::size_t wheel = 0; wheel < WheelNames.size(); ++wheel)
        if (rewritten.wheelLineTooShort[wheel])
            problems.push_back(std::string("its ") + WheelNames[wheel]
                               + " wheel line is too short to hold a ride height and drive (it needs "
                               + std::to_string(ShortestRewrittenWheelLine) + " characters)");
    const bool front = has(loaded.given, Setting::Front);
    const bool rear = has(loaded.given, Setting::Rear);
    if (!front)
        problems.push_back("it has no front-left wheel block (\"# FL wheel #\"), which gives its front ride "
                           "height and wheel sizes");
    if (!rear)
        problems.push_back("it has no rear-left wheel block (\"# RL wheel #\"), which gives its rear ride height");
    checkRideHeight("front", front, loaded.settings.front, problems);
    checkRideHeight("rear", rear, loaded.settings.rear, problems);
    if (front)
        checkWheelSizes(loaded, problems);
    return problems;
}

} // namespace

std::vector<std::string> carProblems(const fs::path& carFolder, FileSystem& fileSystem)
{
    try {
        return scriptProblems(carFolder, fileSystem);
    } catch (const std::bad_alloc&) {
        return {"its car script " + carScriptPath(carFolder).string()
                + " cannot be read: there is not enough memory to read it"};
    }
}

std::vector<CarProblem> carListProblems(const CarTable& cars, FileSystem& fileSystem)
{
    std::vector<CarProblem> problems;
    std::map<std::string, std::string> firstByFoldedName;
    for (int i = 0; i < cars.size(); ++i) {
        const CarEntry& car = *cars.entry(i);
        const auto add = [&](std::string problem) { problems.push_back({car.name, car.folder, std::move(problem)}); };
        // On a volume that ignores letter case the two are one file, and the
        // car list pairs them with one folder.
        const auto [first, isFirst] = firstByFoldedName.try_emplace(foldCase(car.name), car.name);
        if (!isFirst)
            add("its name differs from that of the car " + inQuotes(first->second) + " only in letter case");
        std::error_code error;
        if (!fs::is_directory(car.folder, error)) {
            add("its car file has no folder: " + car.folder.string() + " is missing");
            continue;
        }
        for (std::string& problem : carProblems(car.folder, fileSystem))
            add(std::move(problem));
    }
    return problems;
}

} // namespace quendral
