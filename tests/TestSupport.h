#pragma once

#include "controls/MessagePresenter.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quendral::test {

struct ShownMessage
{
    std::string caption;
    std::string text;
    bool operator==(const ShownMessage&) const = default;
};

// Records the messages the user would have had to acknowledge.
class RecordingMessages final : public MessagePresenter
{
public:
    void showError(std::string_view caption, std::string_view text) override
    {
        shown.push_back({std::string(caption), std::string(text)});
    }

    std::vector<std::string> captions() const;

    std::vector<ShownMessage> shown;
};

// A fresh folder below the system's temporary folder, removed again when the
// test ends.
class TemporaryFolder
{
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

std::string readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, std::string_view bytes);

// Joins lines with CR LF after each, as the editor writes them.
std::string crlf(const std::vector<std::string>& lines);

// A wheel line: 13 characters, a blank, the height, 26 middle characters
// and the four wheel flags.
std::string wheelLine(std::string_view height, std::string_view flags);

// A wheel block: the marker, five fields with the wheel line third, the
// wheel-size lines for `sizes` and the slot type line.
std::vector<std::string> wheelBlock(std::string_view marker, std::string_view height,
                                    std::string_view flags, int smallest, int largest,
                                    std::string_view slotType);

// A complete car script with the given engine lines and wheel lines.
std::string carScript(const std::vector<std::string>& engineLines, std::string_view frontHeight,
                      std::string_view frontFlags, std::string_view rearHeight,
                      std::string_view rearFlags, int smallest, int largest);

// Creates a car folder holding `script` as its car script.
std::filesystem::path makeCar(const std::filesystem::path& folder, std::string_view script);

} // namespace quendral::test
