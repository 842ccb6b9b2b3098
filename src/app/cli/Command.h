#pragma once

// What the commands of quendral-car share. A command is one file: a function
// that adds its subcommand to the tool's command line and returns what runs
// it once the whole line has been read.

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace CLI {
class App;
class Option;
class Validator;
} // namespace CLI

namespace quendral {

class EditorSession;
class FileSystem;
struct VersionName;

namespace cli {

constexpr int Success = 0;
constexpr int Failure = 1;
constexpr int UsageError = 2;

// Where a command reads and prints, and the file system it reads and writes.
struct ToolContext
{
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    FileSystem& fileSystem;
};

// A mistake on the command line. The tool prints its text and the usage, and
// exits with UsageError before any car is read.
class UsageProblem : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

struct Command
{
    const CLI::App* subcommand;
    // Its lines of the usage text after "quendral-car ", continuation lines
    // indented to stand under the first; and what the usage says below all
    // the commands' lines.
    std::string_view synopsis;
    std::string_view notes;
    std::function<int(ToolContext&)> run;
};

Command addListCommand(CLI::App& tool);
Command addShowCommand(CLI::App& tool);
Command addSetCommand(CLI::App& tool);
Command addCheckCommand(CLI::App& tool);
Command addExportCommand(CLI::App& tool);
Command addImportCommand(CLI::App& tool);
Command addHistoryCommand(CLI::App& tool);
Command addDiffCommand(CLI::App& tool);
Command addRestoreCommand(CLI::App& tool);

// A version named on the command line; a word that names none is a usage
// error.
VersionName versionArgument(const std::string& word);

// Adds a command's folder arguments. An empty one is refused: an unset shell
// variable must not stand for the current folder. Each is made absolute and
// normal, so that "." and ".." carry the name of the folder they stand for,
// as in the editor.
CLI::Option* addFolderArguments(CLI::App& command, const std::string& name, std::vector<std::string>& folders,
                                const std::string& description);
// The same for one folder, which another argument may follow.
CLI::Option* addFolderArgument(CLI::App& command, const std::string& name, std::string& folder,
                               const std::string& description);

// How a command prints what it found: as lines of text for a person, or
// as one document for another program.
enum class Format { Text, Csv, Json };

// Adds --format, taking the names of `choices` (text, csv, json); `format`
// holds the default until the option is given.
void addFormatOption(CLI::App& command, Format& format, std::vector<Format> choices);

// A check of an option's value: `problemWith` returns what is wrong with it,
// empty when nothing is; the tool prints that as it stands.
CLI::Validator valueCheck(std::function<std::string(const std::string&)> problemWith);

// Names and paths as text output prints them: a tab, a line break, a
// backslash and the other control characters become \t, \n, \\ and \xHH, so
// that one line is always one car. On Windows, where a backslash separates
// folders and no name can hold one, it is left single.
std::string escaped(std::string_view text);
// A text in double quotes, as messages name what was given.
std::string inQuotes(std::string_view text);
std::string escapedPath(const std::filesystem::path& path);
// As `list` prints: every backslash doubled on Windows too, so that a
// program reading its lines can undo every escape the same way. The path is
// given as UTF-8 text.
std::string listedPath(std::string_view path);

// Windows splits a command line by rules under which a backslash before a
// quote makes the quote part of the word: "C:\Games\racers\" would end in a
// quote and take in the words after it. A backslash before the quote that
// closes a word is the folder's last separator: doubled here, so that it
// stays one and the quote closes the word.
std::wstring withFinalBackslashesKept(std::wstring_view commandLine);

// Prints the diff of what saving the editor's car (in `car`) would write
// now, and writes nothing; false where the save would refuse it.
bool printSavePreview(EditorSession& editor, const std::filesystem::path& car, ToolContext& tool);

} // namespace cli
} // namespace quendral
