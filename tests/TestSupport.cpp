#include "TestSupport.h"

#include "carscript/ScriptVocabulary.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace quendral::test {

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
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_path = base / ("quendral-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(m_path))
            return;
    }
    throw std::runtime_error("no temporary folder");
}

TemporaryFolder::~TemporaryFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string readBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

void writeBytes(const std::filesystem::path& path, std::string_view bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string crlf(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

std::string wheelLine(std::string_view height, std::string_view flags)
{
    return "suspension    " + std::string(height) + " 0.120 0.080 0.250 2.1000 " + std::string(flags);
}

std::vector<std::string> wheelBlock(std::string_view marker, std::string_view height,
                                    std::string_view flags, int smallest, int largest,
                                    std::string_view slotType)
{
    std::vector<std::string> lines = {std::string(marker), "attach      0x00040200 1 ; hub",
                                      "radius      0.330", wheelLine(height, flags),
                                      "brake       0.90", "grip        1.05"};
    for (int size = smallest; size <= largest; ++size)
        lines.push_back(wheelSizeLine(size));
    lines.emplace_back(slotType);
    return lines;
}

std::string carScript(const std::vector<std::string>& engineLines, std::string_view frontHeight,
                      std::string_view frontFlags, std::string_view rearHeight,
                      std::string_view rearFlags, int smallest, int largest)
{
    std::vector<std::string> lines = {"; test car", "colour      0.80, 0.12, 0.10",
                                      "ext_camera  95 0,1.6,0 0.0,0.9,-2.4    0,0.0,0.0   4",
                                      "steerhelp   0.35", "attach    0x00040010 1    ; engine_block"};
    lines.insert(lines.end(), engineLines.begin(), engineLines.end());
    lines.push_back("slotdmgmode 1");
    const struct
    {
        const char* marker;
        std::string_view height;
        std::string_view flags;
        const char* slot;
    } blocks[] = {{"# FL wheel #", frontHeight, frontFlags, "slottype    101"},
                  {"# FR wheel #", frontHeight, frontFlags, "slottype    102"},
                  {"# RL wheel #", rearHeight, rearFlags, "slottype    103"},
                  {"# RR wheel #", rearHeight, rearFlags, "slottype    104"}};
    for (const auto& block : blocks) {
        const auto blockLines = wheelBlock(block.marker, block.height, block.flags, smallest, largest, block.slot);
        lines.insert(lines.end(), blockLines.begin(), blockLines.end());
    }
    lines.push_back("; end");
    return crlf(lines);
}

std::filesystem::path makeCar(const std::filesystem::path& folder, std::string_view script)
{
    writeBytes(folder / "scripts" / "_main_.cfg", script);
    return folder;
}

} // namespace quendral::test
