#include "ReliabilitySupport.h"

#include "TestSupport.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace quendral::test {

std::vector<std::string> scriptsFolderEntries(const std::filesystem::path& carFolder)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(carFolder / "scripts", ec), end; !ec && it != end;
         it.increment(ec))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> historyContents(const std::filesystem::path& carFolder)
{
    std::vector<std::string> contents;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(carFolder / "scripts" / "_main_history", ec), end; !ec && it != end;
         it.increment(ec))
        contents.push_back(readBytes(it->path()));
    std::sort(contents.begin(), contents.end());
    return contents;
}

std::string largeCarScript(std::size_t size)
{
    const std::string body = carScript({"attach    0x000400CE 1    ; i4 blocks"}, "-0.360",
                                       "1.000 1.000 1.000 0.000", "-0.36", "0.000 1.000 1.000 1.000", 15, 18);
    // Filler goes between the script's lines, never inside a wheel block's
    // counted fields, so the script stays well-formed.
    std::vector<std::string> lines;
    std::istringstream in(body);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }

    std::string script;
    script.reserve(size + body.size() + 128);
    // Adds filler lines until the script has grown to `until` bytes.
    auto addFiller = [&](std::size_t until, const char* where) {
        for (std::size_t i = 0; script.size() < until; ++i)
            script += "; " + std::string(where) + " note " + std::to_string(i) + ", tuned by hand 0.125, 1.5\r\n";
    };
    for (const std::string& line : lines) {
        if (line == "; test car")
            addFiller(size / 3, "head");
        if (line == "slotdmgmode 1") {
            script += line + "\r\n";
            addFiller(2 * size / 3, "engine bay");
            continue;
        }
        if (line == "; end")
            addFiller(size, "tail");
        script += line + "\r\n";
    }
    return script;
}

bool fileHolds(const std::filesystem::path& path, std::string& bytes)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(path, ec)))
        return false;
    bytes = readBytes(path);
    return true;
}

} // namespace quendral::test

namespace quendral::test {

std::map<std::string, std::string> folderSnapshot(const std::filesystem::path& folder)
{
    std::map<std::string, std::string> snapshot;
    std::error_code ec;
    for (std::filesystem::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const auto& path = it->path();
        const auto status = std::filesystem::symlink_status(path, ec);
        std::string description;
        if (std::filesystem::is_symlink(status))
            description = "link to " + std::filesystem::read_symlink(path, ec).string();
        else if (std::filesystem::is_directory(status))
            description = "folder";
        else
            description = "file " + readBytes(path);
        snapshot[std::filesystem::relative(path, folder, ec).string()] = std::move(description);
    }
    return snapshot;
}

std::string withCrLfLineEnds(std::string_view script)
{
    std::string lines;
    lines.reserve(script.size() + script.size() / 8);
    for (std::size_t i = 0; i < script.size(); ++i) {
        const char c = script[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < script.size() && script[i + 1] == '\n')
                ++i;
            lines += "\r\n";
        } else {
            lines += c;
        }
    }
    if (!script.empty() && script.back() != '\r' && script.back() != '\n')
        lines += "\r\n";
    return lines;
}

} // namespace quendral::test
