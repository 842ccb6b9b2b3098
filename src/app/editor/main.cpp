#include "ProgramInfo.h"
#include "editor/EditorHelp.h"
#include "windows/MainWindow.h"
#include "windows/ShownText.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* Usage = quendral::EditorUsage;

constexpr char QtOptionsHelp[] =
    "\n"
    "The options of Qt, such as -platform offscreen or -style NAME, are taken too.\n";

// Qt's own options, which QApplication takes out of the line: those that
// take a value (as the next word or after "="), and those that stand alone.
constexpr std::array<std::string_view, 14> QtOptionsWithValue = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "geometry", "qwindowicon",
    "qwindowtitle", "title", "session", "display", "name", "style", "stylesheet"};
constexpr std::array<std::string_view, 7> QtFlags = {"reverse", "widgetcount", "nograb",     "dograb",
                                                      "sync",    "testability", "qmljsdebugger"};

struct Arguments
{
    std::optional<int> status; // set when the program is done: help, version or a usage error
    std::vector<std::string> folders;
};

int usageError(const std::string& problem)
{
    std::fprintf(stderr, "quendral-car-editor: %s\n%s", problem.c_str(), Usage);
    return 2;
}

// The whole line is read before Qt looks for a display, so that --help,
// --version and a mistake are answered over SSH and wherever no display is
// at hand. "--" ends the options, so that a folder whose name starts with a
// dash can be given.
Arguments readArguments(int argc, char* argv[])
{
    Arguments arguments;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (optionsEnded || !argument.starts_with('-') || argument.size() == 1) {
            arguments.folders.emplace_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "-h") {
            std::fputs(quendral::EditorHelp, stdout);
            std::fputs(QtOptionsHelp, stdout);
            arguments.status = 0;
            return arguments;
        } else if (argument == "--version") {
            std::puts(quendral::program::versionText("quendral-car-editor").c_str());
            arguments.status = 0;
            return arguments;
        } else {
            // Qt reads its options with one dash or two.
            const std::string_view option = argument.substr(argument.starts_with("--") ? 2 : 1);
            const std::string_view name = option.substr(0, option.find('='));
            const bool withValue = std::find(QtOptionsWithValue.begin(), QtOptionsWithValue.end(), name)
                                != QtOptionsWithValue.end();
            if (withValue && name == option && ++i == argc)
                arguments.status = usageError("option " + std::string(argument) + " needs a value");
            else if (!withValue && std::find(QtFlags.begin(), QtFlags.end(), name) == QtFlags.end())
                arguments.status = usageError("unknown option " + std::string(argument));
            if (arguments.status)
                return arguments;
        }
    }
    if (arguments.folders.size() > 1)
        arguments.status = usageError("one folder at most");
    return arguments;
}

} // namespace

int main(int argc, char* argv[])
{
    const Arguments arguments = readArguments(argc, argv);
    if (arguments.status)
        return *arguments.status;

    QApplication application(argc, argv);
    QApplication::setApplicationVersion(QString::fromLatin1(quendral::program::Version));
    // Ties the windows to the menu entry, and gives them its icon once installed.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(quendral::program::DesktopId));
    QApplication::setWindowIcon(QIcon::fromTheme(QString::fromLatin1(quendral::program::DesktopId)));

    quendral::MainWindow form;
    form.show();
    if (!arguments.folders.empty())
        form.startIn(quendral::pathOf(QString::fromLocal8Bit(arguments.folders.front())));

    // A measuring aid for start-up time: quit once both windows are up and
    // the start folder, if any, has been scanned.
    if (qEnvironmentVariableIntValue("QUENDRAL_QUIT_AFTER_START") == 1)
        QTimer::singleShot(0, &application, &QCoreApplication::quit);

    return application.exec();
}
