#include "app/cli/CarTool.h"

#include "carscript/FileSystem.h"
#include "carscript/ScriptVocabulary.h"
#include "catalogue/FolderListing.h"
#include "ui/CarEditor.h"
#include "ui/EditingControls.h"
#include "ui/MessagePresenter.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string_view>

namespace quendral {

namespace {

constexpr int Success = 0;
constexpr int Failure = 1;
constexpr int UsageError = 2;

constexpr std::string_view Usage =
    "usage: quendral-car list RACERS_FOLDER\n"
    "       quendral-car show CAR_FOLDER\n"
    "       quendral-car set CAR_FOLDER... [--engines LIST] [--drive front|rear|all]\n"
    "                        [--front P] [--rear P] [--min TEXT] [--max TEXT]\n"
    "LIST is a comma-separated list of I4, V6, V8, V10, or none; P is 0 to 30.\n";

// Prints each message as "CAPTION: TEXT", after an optional prefix. The
// line break that a message box shows for a carriage return is printed as
// one.
class PrintedMessages final : public MessagePresenter
{
public:
    PrintedMessages(std::ostream& stream, std::string prefix) : m_stream(stream), m_prefix(std::move(prefix)) {}

    void showError(std::string_view caption, std::string_view text) override
    {
        std::string shown(text);
        std::replace(shown.begin(), shown.end(), '\r', '\n');
        m_stream << m_prefix << caption << ": " << shown << '\n';
    }

private:
    std::ostream& m_stream;
    std::string m_prefix;
};

std::string_view driveName(const EditingControls& controls)
{
    if (controls.Option1.value())
        return "front";
    if (controls.Option2.value())
        return "rear";
    if (controls.Option3.value())
        return "all";
    return "none";
}

void printSettings(const EditingControls& controls, std::ostream& out)
{
    out << "engines:";
    const auto checks = controls.engineChecks();
    for (const EngineFamily family : EngineFamilies)
        if (checks[static_cast<std::size_t>(familyIndex(family))]->isChecked())
            out << ' ' << familyName(family);
    out << "\ndrive: " << driveName(controls) << "\nfront: " << controls.Slider1.value()
        << "\nrear: " << controls.Slider2.value() << "\nmin: " << controls.txtminw.text()
        << "\nmax: " << controls.txtmaxw.text() << '\n';
}

// The settings `set` changes; those not given keep what the car has.
struct Changes
{
    std::optional<std::array<bool, 4>> engines;
    std::optional<int> drive;  // option button index
    std::optional<int> front;
    std::optional<int> rear;
    std::optional<std::string> minimum;
    std::optional<std::string> maximum;
};

std::optional<std::array<bool, 4>> parseEngines(std::string_view list)
{
    std::array<bool, 4> engines{};
    if (list == "none")
        return engines;
    while (true) {
        const std::size_t comma = list.find(',');
        const std::string_view name = list.substr(0, comma);
        const auto family = std::find_if(EngineFamilies.begin(), EngineFamilies.end(),
                                         [&](EngineFamily f) { return familyName(f) == name; });
        if (family == EngineFamilies.end())
            return std::nullopt;
        engines[static_cast<std::size_t>(familyIndex(*family))] = true;
        if (comma == std::string_view::npos)
            return engines;
        list.remove_prefix(comma + 1);
    }
}

std::optional<int> parsePosition(std::string_view text)
{
    int position = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), position);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()
        || position < EditingControls::RideHeightMinimum || position > EditingControls::RideHeightMaximum)
        return std::nullopt;
    return position;
}

void applyChanges(const Changes& changes, EditingControls& controls)
{
    if (changes.engines) {
        const auto checks = controls.engineChecks();
        for (std::size_t i = 0; i < checks.size(); ++i)
            checks[i]->setValue((*changes.engines)[i] ? 1 : 0);
    }
    if (changes.drive)
        controls.driveSystem.setValue(*changes.drive, true);
    if (changes.front)
        controls.Slider1.setValue(*changes.front);
    if (changes.rear)
        controls.Slider2.setValue(*changes.rear);
    if (changes.minimum)
        controls.txtminw.setText(*changes.minimum);
    if (changes.maximum)
        controls.txtmaxw.setText(*changes.maximum);
}

int usageError(std::ostream& err, const std::string& problem)
{
    err << "quendral-car: " << problem << '\n' << Usage;
    return UsageError;
}

int listCars(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
             FileSystem& fileSystem)
{
    if (arguments.size() != 1)
        return usageError(err, "list takes one racers folder");
    PrintedMessages messages(err, "");
    EditingControls controls(messages);
    CarEditor editor(controls, messages, fileSystem);
    if (!editor.openFolder(arguments.front()))
        return Failure;
    if (!controls.Frame3.isEnabled()) {
        err << "quendral-car: " << controls.Dir1.path().string()
            << " is not a racers folder (its name must end in \"racers\" and it must hold .rpk car files)\n";
        return Failure;
    }
    const CarTable& table = editor.carTable();
    for (int i = 0; i < table.size(); ++i)
        out << table.entry(i)->name << '\t' << table.entry(i)->folder.string() << '\n';
    return Success;
}

int showCar(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
            FileSystem& fileSystem)
{
    if (arguments.size() != 1)
        return usageError(err, "show takes one car folder");
    PrintedMessages messages(err, "");
    EditingControls controls(messages);
    CarEditor editor(controls, messages, fileSystem);
    editor.pickCarFolder(arguments.front());
    if (!editor.loadSelectedCar())
        return Failure;
    printSettings(controls, out);
    return Success;
}

int setCars(const std::vector<std::string>& arguments, std::ostream& err, FileSystem& fileSystem)
{
    Changes changes;
    std::vector<std::filesystem::path> cars;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!argument.starts_with("--")) {
            cars.push_back(withoutTrailingSeparator(argument));
            continue;
        }
        if (i + 1 >= arguments.size())
            return usageError(err, argument + " needs a value");
        const std::string& value = arguments[++i];
        if (argument == "--engines") {
            changes.engines = parseEngines(value);
            if (!changes.engines)
                return usageError(err, "unknown engine family in \"" + value + "\"");
        } else if (argument == "--drive") {
            static constexpr std::array<std::string_view, 3> Drives = {"front", "rear", "all"};
            const auto drive = std::find(Drives.begin(), Drives.end(), value);
            if (drive == Drives.end())
                return usageError(err, "--drive takes front, rear or all, not \"" + value + "\"");
            changes.drive = static_cast<int>(drive - Drives.begin());
        } else if (argument == "--front" || argument == "--rear") {
            const auto position = parsePosition(value);
            if (!position)
                return usageError(err, argument + " takes a position from 0 to 30, not \"" + value + "\"");
            (argument == "--front" ? changes.front : changes.rear) = position;
        } else if (argument == "--min") {
            changes.minimum = value;
        } else if (argument == "--max") {
            changes.maximum = value;
        } else {
            return usageError(err, "unknown option " + argument);
        }
    }
    if (cars.empty())
        return usageError(err, "set needs at least one car folder");

    int status = Success;
    for (const std::filesystem::path& car : cars) {
        PrintedMessages messages(err, car.string() + ": ");
        EditingControls controls(messages);
        CarEditor editor(controls, messages, fileSystem);
        editor.pickCarFolder(car);
        if (!editor.loadSelectedCar()) {
            status = Failure;
            continue;
        }
        applyChanges(changes, controls);
        if (!editor.save())
            status = Failure;
    }
    return status;
}

} // namespace

int runCarTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
               FileSystem& fileSystem)
{
    if (arguments.empty())
        return usageError(err, "a command is needed");
    const std::string& command = arguments.front();
    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    if (command == "list")
        return listCars(rest, out, err, fileSystem);
    if (command == "show")
        return showCar(rest, out, err, fileSystem);
    if (command == "set")
        return setCars(rest, err, fileSystem);
    if (command == "--help" || command == "-h" || command == "help") {
        out << Usage;
        return Success;
    }
    return usageError(err, "unknown command " + command);
}

} // namespace quendral
