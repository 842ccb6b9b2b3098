#include "app/cli/Command.h"

#include "catalogue/FolderListing.h"

#include <CLI/App.hpp>

#include <algorithm>
#include <ostream>

namespace quendral::cli {

namespace fs = std::filesystem;

CLI::Option* addFolderArguments(CLI::App& command, const std::string& name, std::vector<std::string>& folders,
                                const std::string& description)
{
    const CLI::Validator absoluteFolder(
        [](std::string& folder) {
            if (folder.empty())
                throw UsageProblem("a folder argument is empty; give . for the current folder");
            std::error_code error;
            const fs::path absolute = fs::absolute(pathFromText(folder), error);
            if (error)
                throw UsageProblem("the folder \"" + escaped(folder) + "\" cannot be made absolute: "
                                   + error.message());
            folder = withoutTrailingSeparator(absolute.lexically_normal()).string();
            return std::string();
        },
        "");
    return command.add_option(name, folders, description)->type_name("")->transform(absoluteFolder);
}

CLI::Validator valueCheck(std::function<std::string(const std::string&)> problemWith)
{
    // Thrown rather than returned: CLI11 would put the option's name in
    // front of a returned message.
    return CLI::Validator(
        [problemWith = std::move(problemWith)](std::string& value) {
            const std::string problem = problemWith(value);
            if (!problem.empty())
                throw UsageProblem(problem);
            return std::string();
        },
        "");
}

std::string escaped(std::string_view text)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\t')
            shown += "\\t";
        else if (c == '\n')
            shown += "\\n";
        else if (c == '\\')
            shown += "\\\\";
        else if (byte < 0x20 || byte == 0x7F)
            shown += {'\\', 'x', Hex[byte >> 4], Hex[byte & 0xF]};
        else
            shown += c;
    }
    return shown;
}

std::string escapedPath(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return escaped(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
}

void PrintedMessages::showError(std::string_view caption, std::string_view text)
{
    std::string shown(text);
    std::replace(shown.begin(), shown.end(), '\r', '\n');
    m_stream << m_prefix << caption << ": " << shown << '\n';
}

} // namespace quendral::cli
