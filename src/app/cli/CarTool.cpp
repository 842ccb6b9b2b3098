#include "app/cli/CarTool.h"

#include "app/cli/Command.h"
#include "ProgramInfo.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <ostream>
#include <sstream>

namespace quendral {

namespace {

using namespace cli;

std::string usage(const std::vector<Command>& commands)
{
    std::string text;
    for (const Command& command : commands)
        text.append(text.empty() ? "usage: " : "       ").append("quendral-car ").append(command.synopsis) += '\n';
    text += "       quendral-car help [COMMAND] | --help | --version\n";
    for (const Command& command : commands)
        if (!command.notes.empty())
            text.append(command.notes) += '\n';
    return text;
}

// CLI11's message for an option given without its value, "--max: 1 required
// TEXT missing", in the tool's own words.
std::string problemOf(const CLI::ParseError& error)
{
    const std::string text = error.what();
    const std::size_t colon = text.find(": ");
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) && colon != std::string::npos
        && text.ends_with(" missing"))
        return text.substr(0, colon) + " needs a value";
    return text;
}

// What is left over once CLI11 has read the line: words before a command, or
// options no command knows.
void refuseLeftovers(const CLI::App& tool, const Command* chosen)
{
    const std::vector<std::string> leftTop = tool.remaining();
    if (!chosen)
        throw UsageProblem(leftTop.empty() ? "a command is needed" : "unknown command " + leftTop.front());
    for (const std::vector<std::string>& left : {leftTop, chosen->subcommand->remaining()})
        if (!left.empty())
            throw UsageProblem((left.front().starts_with('-') ? "unknown option " : "unknown command ")
                               + left.front());
}

// The help of the tool, or that of the command named `topic`.
std::string helpOn(const CLI::App& tool, const CLI::App& help, const std::string& topic)
{
    if (!help.remaining().empty())
        throw UsageProblem("help takes one command");
    if (topic.empty())
        return tool.get_formatter()->make_help(&tool, tool.get_name(), CLI::AppFormatMode::Normal);
    for (const CLI::App* command : tool.get_subcommands({}))
        if (command->get_name() == topic)
            return command->help(tool.get_name());
    throw UsageProblem("unknown command " + topic);
}

} // namespace

int runCarTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
               FileSystem& fileSystem)
{
    std::istringstream nothing;
    return runCarTool(arguments, nothing, out, err, fileSystem);
}

int runCarTool(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out, std::ostream& err,
               FileSystem& fileSystem)
{
    CLI::App tool("Lists the cars of a racers folder, shows a car's settings and saves changed settings into "
                  "cars, each as the editor would; lists, compares and restores the versions the saves keep; "
                  "checks cars, and exports and imports the settings of a whole racers folder as a table.",
                  "quendral-car");
    // Leftovers are refused in the tool's own words (refuseLeftovers), and a
    // command takes the rest of the line, even words that name another.
    tool.allow_extras();
    tool.require_subcommand(0, 1);
    tool.set_version_flag("--version", program::versionText("quendral-car"), "Print the version and exit");
    const std::vector<Command> commands = {addListCommand(tool),    addShowCommand(tool),   addSetCommand(tool),
                                           addHistoryCommand(tool), addDiffCommand(tool),   addRestoreCommand(tool),
                                           addCheckCommand(tool),   addExportCommand(tool), addImportCommand(tool)};
    // "help" prints what --help does, and "help COMMAND" what "COMMAND --help" does.
    std::string helpTopic;
    CLI::App* help = tool.add_subcommand("help", "print this help, or a command's help");
    help->add_option("COMMAND", helpTopic, "the command");
    for (CLI::App* subcommand : tool.get_subcommands({}))
        subcommand->allow_extras();

    ToolContext context{in, out, err, fileSystem};
    try {
        // CLI11 reads "--min=" as "--min" and takes the next word as its
        // value, which would swallow a car folder: an empty value stays empty.
        std::vector<std::string> reversed;
        for (auto argument = arguments.rbegin(); argument != arguments.rend(); ++argument) {
            if (argument->starts_with("--") && argument->size() > 3 && argument->ends_with('=')) {
                reversed.emplace_back();
                reversed.push_back(argument->substr(0, argument->size() - 1));
            } else {
                reversed.push_back(*argument);
            }
        }
        tool.parse(reversed);
        if (help->parsed()) {
            out << helpOn(tool, *help, helpTopic);
            return Success;
        }
        const auto chosen = std::find_if(commands.begin(), commands.end(),
                                         [](const Command& command) { return command.subcommand->parsed(); });
        refuseLeftovers(tool, chosen == commands.end() ? nullptr : &*chosen);
        return chosen->run(context);
    } catch (const CLI::Success& request) {
        // --help or --version
        return tool.exit(request, out, err);
    } catch (const CLI::ParseError& error) {
        err << "quendral-car: " << problemOf(error) << '\n' << usage(commands);
    } catch (const UsageProblem& problem) {
        err << "quendral-car: " << problem.what() << '\n' << usage(commands);
    }
    return UsageError;
}

} // namespace quendral
