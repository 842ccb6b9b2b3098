#include "BenchInputs.h"

#include "carscript/CarFiles.h"
#include "carscript/ScriptVocabulary.h"
#include "Support.h"

#include <cstdio>
#include <map>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace quendral::bench {

namespace {

// The demo script cut into its lines, each with its own line end.
std::vector<std::string_view> linesOf(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
        lines.push_back(text.substr(0, length));
        text.remove_prefix(length);
    }
    return lines;
}

std::string_view withoutLineEnd(std::string_view line)
{
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    return line;
}

const std::string& demoScript()
{
    static const std::string script = test::readBytes(carScriptPath(demoCarFolder()));
    return script;
}

} // namespace

std::filesystem::path demoCarFolder()
{
    return std::filesystem::path(QUENDRAL_EXAMPLES_DIR) / "falcon_gt";
}

std::string largeScript(std::size_t size)
{
    const std::vector<std::string_view> lines = linesOf(demoScript());

    // Sort the demo car's lines into the pieces the editor recognises (the
    // camera line up to the steering-help line, the engine block up to the
    // slot damage mode line, the wheel blocks) and the ordinary rest.
    std::vector<std::string_view> ordinary;
    std::size_t firstWheelBlock = lines.size();
    enum class Region { Ordinary, Camera, Engines, Wheel } region = Region::Ordinary;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view text = withoutLineEnd(lines[i]);
        std::string_view trimmed = text;
        while (!trimmed.empty() && (trimmed.front() == ' ' || trimmed.front() == '\t'))
            trimmed.remove_prefix(1);
        switch (region) {
        case Region::Ordinary:
            if (isCameraLine(trimmed)) {
                region = Region::Camera;
            } else if (isEngineBlockEntry(trimmed)) {
                region = Region::Engines;
            } else if (wheelMarker(trimmed)) {
                region = Region::Wheel;
                firstWheelBlock = std::min(firstWheelBlock, i);
            } else {
                ordinary.push_back(lines[i]);
            }
            break;
        case Region::Camera:
            if (isSteerHelpLine(trimmed))
                region = Region::Ordinary;
            break;
        case Region::Engines:
            if (isSlotDamageModeLine(trimmed))
                region = Region::Ordinary;
            break;
        case Region::Wheel:
            if (isSlotTypeLine(trimmed))
                region = Region::Ordinary;
            break;
        }
    }
    if (ordinary.empty() || firstWheelBlock == lines.size())
        throw std::runtime_error("the demo car script has no ordinary lines or no wheel blocks");

    std::string script;
    script.reserve(size + 4096);
    for (std::size_t i = 0; i < firstWheelBlock; ++i)
        script.append(lines[i]);
    std::size_t rest = 0;
    for (std::size_t i = firstWheelBlock; i < lines.size(); ++i)
        rest += lines[i].size();
    for (std::size_t next = 0; script.size() + rest < size; next = (next + 1) % ordinary.size())
        script.append(ordinary[next]);
    for (std::size_t i = firstWheelBlock; i < lines.size(); ++i)
        script.append(lines[i]);
    return script;
}

void makeRacersFolder(const std::filesystem::path& racersFolder, int count)
{
    const std::string carFile = test::readBytes(demoCarFolder().parent_path() / "falcon_gt.rpk");
    std::filesystem::create_directories(racersFolder);
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "car%05d", i);
        const std::filesystem::path folder = racersFolder / name;
        std::filesystem::create_directories(folder / "scripts");
        test::writeBytes(carScriptPath(folder), demoScript());
        test::writeBytes(racersFolder / (std::string(name) + ".rpk"), carFile);
    }
}

const std::filesystem::path& racersFolderOf(int cars)
{
    static std::map<int, std::unique_ptr<test::TemporaryFolder>> folders;
    auto it = folders.find(cars);
    if (it == folders.end()) {
        auto scratch = std::make_unique<test::TemporaryFolder>();
        makeRacersFolder(scratch->path() / "racers", cars);
        it = folders.emplace(cars, std::move(scratch)).first;
    }
    static std::map<int, std::filesystem::path> paths;
    return paths.emplace(cars, it->second->path() / "racers").first->second;
}

} // namespace quendral::bench
