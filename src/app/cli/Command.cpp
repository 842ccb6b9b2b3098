#include "app/cli/Command.h"

#include "catalogue/FolderListing.h"

#include <CLI/App.hpp>

#include <algorithm>
#include <array>
#include <optional>
#include <ostream>

namespace quendral::cli {

namespace fs = std::filesystem;

namespace {

CLI::Validator absoluteFolder()
{
    return CLI::Validator(
        [](std::string& folder) {
            if (folder.empty())
                throw UsageProblem("a folder argument is empty; give . for the current folder");
            std::error_code error;
            const fs::path absolute = fs::absolute(pathFromText(folder), error);
            if (error)
                throw UsageProblem("the folder " + inQuotes(escaped(folder)) + " cannot be made absolute: "
                                   + error.message());
            folder = withoutTrailingSeparator(absolute.lexically_normal()).string();
            return std::string();
        },
        "");
}

} // namespace

CLI::Option* addFolderArguments(CLI::App& command, const std::string& name, std::vector<std::string>& folders,
                                const std::string& description)
{
    return command.add_option(name, folders, description)->type_name("")->transform(absoluteFolder());
}

CLI::Option* addFolderArgument(CLI::App& command, const std::string& name, std::string& folder,
                               const std::string& description)
{
    return command.add_option(name, folder, description)->type_name("")->transform(absoluteFolder());
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

void addFormatOption(CLI::App& command, Format& format, std::vector<Format> choices)
{
    static constexpr std::array<std::pair<Format, std::string_view>, 3> Names = {
        {{Format::Text, "text"}, {Format::Csv, "csv"}, {Format::Json, "json"}}};
    std::string listed;
    std::string inWords;
    std::string_view byDefault;
    for (const Format choice : choices)
        for (const auto& [known, name] : Names)
            if (known == choice) {
                listed.append(listed.empty() ? "" : "|").append(name);
                inWords.append(inWords.empty() ? "" : choice == choices.back() ? " or " : ", ").append(name);
            }
    for (const auto& [known, name] : Names)
        if (known == format)
            byDefault = name;
    const auto chosen = [choices](const std::string& value) -> std::optional<Format> {
        for (const auto& [known, name] : Names)
            if (name == value && std::find(choices.begin(), choices.end(), known) != choices.end())
                return known;
        return std::nullopt;
    };
    command
        .add_option_function<std::string>(
            "--format", [&format, chosen](const std::string& value) { format = *chosen(value); },
            "print as " + listed + " (" + std::string(byDefault) + " unless given)")
        ->type_name(listed)
        ->take_last()
        ->check(valueCheck([chosen, inWords](const std::string& value) {
            return chosen(value) ? std::string() : "--format takes " + inWords + ", not " + inQuotes(value);
        }));
}

namespace {

#ifdef _WIN32
constexpr bool BackslashesDoubled = false;
#else
constexpr bool BackslashesDoubled = true;
#endif

std::string escaped(std::string_view text, bool backslashesDoubled)
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
            shown += backslashesDoubled ? "\\\\" : "\\";
        else if (byte < 0x20 || byte == 0x7F)
            shown += {'\\', 'x', Hex[byte >> 4], Hex[byte & 0xF]};
        else
            shown += c;
    }
    return shown;
}

} // namespace

std::string escaped(std::string_view text)
{
    return escaped(text, BackslashesDoubled);
}

std::string inQuotes(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

std::string escapedPath(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return escaped(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
}

std::string listedPath(std::string_view path)
{
    return escaped(path, true);
}

std::wstring withFinalBackslashesKept(std::wstring_view commandLine)
{
    std::wstring kept;
    kept.reserve(commandLine.size() + 2);
    bool quoted = false;
    std::size_t backslashes = 0;
    for (std::size_t at = 0; at < commandLine.size(); ++at) {
        const wchar_t c = commandLine[at];
        if (c == L'"') {
            const bool wordEnds = at + 1 == commandLine.size() || commandLine[at + 1] == L' '
                               || commandLine[at + 1] == L'\t';
            if (backslashes % 2 == 1 && quoted && wordEnds) {
                kept += L'\\';
                ++backslashes;
            }
            if (backslashes % 2 == 0)
                quoted = !quoted;
        }
        backslashes = c == L'\\' ? backslashes + 1 : 0;
        kept += c;
    }
    return kept;
}

} // namespace quendral::cli
