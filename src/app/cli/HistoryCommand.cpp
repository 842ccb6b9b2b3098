#include "app/cli/CarSession.h"
#include "app/cli/Json.h"
#include "app/cli/SettingsTable.h"
#include "carscript/ByteCountText.h"
#include "catalogue/FolderListing.h"
#include "history/ScriptHistory.h"

#include <CLI/App.hpp>

#include <algorithm>
#include <memory>
#include <ostream>

namespace quendral::cli {

namespace {

// "3 (original)        2026-12-07 15:04:05   2,345 bytes  engines: …"
std::string versionLine(const VersionListing& version)
{
    std::string label = versionText(version.name);
    if (!version.marks.empty())
        label += " (" + version.marks + ")";
    std::string size = byteCountText(version.size);
    label.resize(std::max<std::size_t>(label.size(), 21), ' ');
    size.insert(0, 15 - std::min<std::size_t>(size.size(), 15), ' ');
    return label + localTimeText(version.time) + size + "  " + escaped(version.settings);
}

// The settings of a version as `show --format json` gives them; or null,
// with the reason as "problem", for a version that cannot be read.
Json settingsJson(const VersionListing& version, Json& problem)
{
    if (!version.values) {
        problem = asUtf8(version.settings);
        return nullptr;
    }
    Json json = rowJson(rowOf("", *version.values, {}));
    json.erase("car");
    return json;
}

// {"version": "3", "marks": ["original"], "time": "2026-12-07T15:04:05.123Z",
//  "size": 2345, "settings": {"I4": false, …}}; the time in UTC, as the
// entries are named.
Json versionJson(const VersionListing& version)
{
    Json marks = Json::array();
    for (std::size_t at = 0; at < version.marks.size();) {
        const std::size_t end = std::min(version.marks.find(", ", at), version.marks.size());
        marks.push_back(version.marks.substr(at, end - at));
        at = end + 2;
    }
    Json problem;
    Json json = {{"version", versionText(version.name)},
                 {"marks", marks},
                 {"time", utcTimeText(version.time)},
                 {"size", version.size},
                 {"settings", settingsJson(version, problem)}};
    if (!problem.is_null())
        json["problem"] = problem;
    return json;
}

int listHistory(const std::vector<std::string>& folders, Format format, ToolContext& tool)
{
    if (folders.size() != 1)
        throw UsageProblem("history takes one car folder");
    CarSession session(tool);
    session.pickCar(pathFromText(folders.front()));
    std::vector<VersionListing> versions;
    if (!session.editor().listVersions(versions))
        return Failure;
    if (format == Format::Json) {
        Json document = Json::array();
        for (const VersionListing& version : versions)
            document.push_back(versionJson(version));
        printJson(tool.out, document);
        return Success;
    }
    for (const VersionListing& version : versions)
        tool.out << versionLine(version) << '\n';
    return Success;
}

} // namespace

Command addHistoryCommand(CLI::App& tool)
{
    auto folders = std::make_shared<std::vector<std::string>>();
    auto format = std::make_shared<Format>(Format::Text);
    CLI::App* history = tool.add_subcommand(
        "history", "print a car's versions, newest first: the current script, then those its saves kept");
    addFolderArguments(*history, "CAR_FOLDER", *folders, "the car's folder");
    addFormatOption(*history, *format, {Format::Text, Format::Json});
    return {history, "history CAR_FOLDER [--format text|json]", "",
            [folders, format](ToolContext& context) { return listHistory(*folders, *format, context); }};
}

VersionName versionArgument(const std::string& word)
{
    if (const std::optional<VersionName> version = parseVersionName(word))
        return *version;
    throw UsageProblem("unknown version " + inQuotes(escaped(word))
                       + ": give a number from history, original, backup or current");
}

} // namespace quendral::cli
