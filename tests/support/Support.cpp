#include "Support.h"

#include "carscript/ScriptVocabulary.h"
#include "carscript/WheelLine.h"
#include "carscript/FileSystem.h"
#include "controls/EditingControls.h"
#include "editor/EditorSession.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace quendral::test {

namespace fs = std::filesystem;

std::vector<std::string> RecordingMessages::captions() const
{
    std::vector<std::string> result;
    for (const ShownMessage& message : shown)
        result.push_back(message.caption);
    return result;
}

TemporaryFolder::TemporaryFolder()
{
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_path = fs::temp_directory_path() / ("quendral-test-" + std::to_string(random()));
        if (fs::create_directory(m_path))
            return;
    }
    throw std::runtime_error("no temporary folder");
}

TemporaryFolder::~TemporaryFolder()
{
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

std::string readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

void writeBytes(const fs::path& path, std::string_view bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

fs::path makeCar(const fs::path& folder, std::string_view script)
{
    writeBytes(folder / "scripts" / "_main_.cfg", script);
    return folder;
}

std::vector<std::string> scriptsFolderEntries(const fs::path& car)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(car / "scripts", ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> historyContents(const fs::path& car)
{
    std::vector<std::string> contents;
    std::error_code ec;
    for (fs::directory_iterator it(car / "scripts" / "_main_history", ec), end; !ec && it != end; it.increment(ec))
        contents.push_back(readBytes(it->path()));
    std::sort(contents.begin(), contents.end());
    return contents;
}

std::map<std::string, std::string> folderSnapshot(const fs::path& folder)
{
    std::map<std::string, std::string> snapshot;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::file_status status = fs::symlink_status(it->path(), ec);
        snapshot[fs::relative(it->path(), folder, ec).string()] =
            fs::is_symlink(status) ? "link to " + fs::read_symlink(it->path(), ec).string()
            : fs::is_directory(status) ? "folder" : "file " + readBytes(it->path());
    }
    return snapshot;
}

namespace {

std::string wheelBlock(Wheel wheel, std::string_view height, std::string_view flags, int smallest, int largest)
{
    const char* markers[] = {"# FL wheel #", "# FR wheel #", "# RL wheel #", "# RR wheel #"};
    std::string block = std::string(markers[static_cast<int>(wheel)]) + "\r\nattach      0x00040200 1 ; hub\r\n"
                        + "radius      0.330\r\nsuspension    " + std::string(height) + " 0.120 0.080 0.250 2.1000 "
                        + std::string(flags) + "\r\nbrake       0.90\r\ngrip        1.05\r\n";
    for (int size = smallest; size <= largest; ++size)
        block += wheelSizeLine(size) + "\r\n";
    return block + std::string(slotTypeLine(wheel)) + "\r\n";
}

} // namespace

std::string carScript(const std::vector<std::string>& engineLines, std::string_view frontHeight,
                      std::string_view frontFlags, std::string_view rearHeight, std::string_view rearFlags,
                      int smallest, int largest)
{
    std::string script = "; test car\r\ncolour      0.80, 0.12, 0.10\r\n"
                         "ext_camera  95 0,1.6,0 0.0,0.9,-2.4    0,0.0,0.0   4\r\nsteerhelp   0.35\r\n"
                         "attach    0x00040010 1    ; engine_block\r\n";
    for (const std::string& line : engineLines)
        script += line + "\r\n";
    script += "slotdmgmode 1\r\n";
    for (const Wheel wheel : {Wheel::FrontLeft, Wheel::FrontRight, Wheel::RearLeft, Wheel::RearRight}) {
        const bool front = axleOf(wheel) == Axle::Front;
        script += wheelBlock(wheel, front ? frontHeight : rearHeight, front ? frontFlags : rearFlags, smallest, largest);
    }
    return script + "; end\r\n";
}

std::string largeCarScript(std::size_t size)
{
    const std::string script = carScript({"attach    0x000400CE 1    ; i4 blocks"}, "-0.360", "1.000 1.000 1.000 0.000",
                                         "-0.36", "0.000 1.000 1.000 1.000", 15, 18);
    // Filler at the head, after the engine block and before the last line,
    // never inside a part the save takes over.
    const std::size_t wheels = script.find("# FL wheel #"), tail = script.size() - 7;
    std::string grown;
    grown.reserve(size + script.size());
    std::size_t note = 0;
    const auto fill = [&](std::size_t until) {
        while (grown.size() < until)
            grown += "; note " + std::to_string(note++) + ", tuned by hand 0.125, 1.5\r\n";
    };
    fill(size / 3);
    grown += script.substr(0, wheels);
    fill(2 * size / 3);
    grown += script.substr(wheels, tail - wheels);
    fill(size);
    return grown + script.substr(tail);
}

std::string randomCarScript(std::mt19937& random, const std::vector<std::string>& filler)
{
    const auto pick = [&](int below) { return std::uniform_int_distribution<int>(0, below - 1)(random); };
    std::vector<std::vector<std::string>> parts;
    for (std::size_t i = 0; i < filler.size() + 2 + static_cast<std::size_t>(pick(6)); ++i) {
        const char* kinds[] = {"; note", "\tcolour  0.8, 0.1 ,0.1  ", "gears 3.2,2.1,", "", "  mass 1180.0\t"};
        parts.push_back({i < filler.size() ? filler[i] : std::string(kinds[pick(5)]) + (pick(2) ? "" : " x")});
    }
    std::vector<std::string> camera = {"ext_camera  95 0,1.6,0 0.0,0.9,-2.4    0,0.0,0.0   4"};
    if (pick(2))
        camera.push_back("; dropped with the camera");
    camera.push_back("steerhelp   0.35");
    parts.insert(parts.begin() + pick(static_cast<int>(parts.size()) + 1), camera);
    std::vector<std::string> engines = {"attach    0x00040010 1    ; engine_block"};
    for (const EngineFamily family : EngineFamilies)
        if (pick(2))
            engines.emplace_back(engineLine(family));
    engines.emplace_back("slotdmgmode 1");
    parts.insert(parts.begin() + pick(static_cast<int>(parts.size()) + 1), engines);
    // The rear-left block after the front-left one, whose drive flags
    // decide the drive when both are driven.
    const auto at = [&](std::size_t below) { return parts.begin() + pick(static_cast<int>(below) + 1); };
    std::size_t rearLeft = 0;
    for (const Wheel wheel : {Wheel::RearLeft, Wheel::FrontLeft, Wheel::FrontRight, Wheel::RearRight}) {
        const bool front = axleOf(wheel) == Axle::Front;
        const int position = pick(31);
        const std::string height = front ? "-0." + std::to_string(300 + 20 * position)
                                         : "-0." + std::to_string(30 + 2 * position);
        const int smallest = 14 + pick(8);
        std::string block = wheelBlock(wheel, height, wheelFlags(front ? Axle::Front : Axle::Rear, pick(2)),
                                       smallest, smallest + pick(8) - 1);
        std::vector<std::string> lines;
        for (std::size_t start = 0, end; (end = block.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.push_back(block.substr(start, end - start));
        const auto where = at(wheel == Wheel::FrontLeft ? rearLeft : parts.size());
        if (wheel == Wheel::RearLeft)
            rearLeft = static_cast<std::size_t>(where - parts.begin());
        parts.insert(where, lines);
    }
    if (pick(3) == 0)  // a later camera line loses its comma pieces
        parts.push_back({"ext_camera  3 4,5,6 , 7"});
    std::string script;
    const char* ends[] = {"\r\n", "\r\n", "\r\n", "\n", "\r"};
    for (const auto& part : parts)
        for (const std::string& line : part)
            script += line + ends[pick(5)];
    if (pick(4) == 0)
        script.erase(script.find_last_not_of("\r\n") + 1);
    return script;
}

CarSettings randomSettings(std::mt19937& random)
{
    const auto pick = [&](int below) { return std::uniform_int_distribution<int>(0, below - 1)(random); };
    CarSettings settings;
    for (bool& engine : settings.engines)
        engine = pick(2);
    settings.drive = static_cast<Drive>(pick(4));
    settings.front = pick(31);
    settings.rear = pick(31);
    const int smallest = 14 + pick(8);
    settings.smallest = std::to_string(smallest);
    settings.largest = std::to_string(smallest + pick(22 - smallest));
    return settings;
}

std::string shownSettings(const EditingControls& controls)
{
    std::string shown = "engines:";
    for (const EngineFamily family : EngineFamilies)
        if (controls.engineChecks()[static_cast<std::size_t>(familyIndex(family))]->isChecked())
            shown.append(" ").append(familyName(family));
    const char* drives[] = {"none", "front", "rear", "all"};
    return shown + "\ndrive: " + drives[controls.driveSystem.selected() + 1] + "\nfront: "
           + std::to_string(controls.frontHeight.value()) + "\nrear: " + std::to_string(controls.rearHeight.value())
           + "\nmin: " + controls.smallestWheel.text() + "\nmax: " + controls.largestWheel.text() + "\n";
}

bool saveWithV10Ticked(const std::filesystem::path& carFolder)
{
    RecordingMessages quiet;
    EditingControls controls(quiet);
    EditorSession other(controls, quiet, FileSystem::real());
    other.pickCarFolder(carFolder);
    if (!other.loadSelectedCar())
        return false;
    controls.engineChecks()[familyIndex(EngineFamily::V10)]->setValue(1);
    return other.save();
}

} // namespace quendral::test
