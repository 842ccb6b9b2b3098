#include "ProgramInfo.h"
#include "windows/MainWindow.h"
#include "windows/ShownText.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>

namespace {

constexpr char Usage[] = "usage: quendral-car-editor [FOLDER]\n"
                         "       quendral-car-editor --help | --version\n";

// Also the manual page's text, which is made from it.
constexpr char Help[] =
    "Usage: quendral-car-editor [FOLDER]\n"
    "Edits the car scripts of the racing game Quendral. Pick a racers folder in\n"
    "the drive and folder choosers and a car in the car list, change the engine\n"
    "block families it accepts (I4, V6, V8, V10), the driven axle, the front and\n"
    "rear ride heights and the range of wheel sizes, and press Save: the car's\n"
    "scripts/_main_.cfg is written anew and the previous version is kept beside\n"
    "it as scripts/_main_backup.cfg, and every earlier one in\n"
    "scripts/_main_history/. The Car menu previews a save and lists, compares and\n"
    "restores the versions.\n"
    "\n"
    "Given a FOLDER, the editor opens it at once, as though it had been picked in\n"
    "the folder chooser. Without one, nothing is read until a folder is picked.\n"
    "\n"
    "Options:\n"
    "  -h, --help     print this help and exit\n"
    "      --version  print the version and exit\n"
    "\n"
    "The options of Qt, such as -platform offscreen or -style NAME, are taken too.\n";

// --help and --version are answered before Qt looks for a display, so that
// they work over SSH and wherever no display is at hand.
std::optional<int> answerInformationRequest(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--")
            break;
        if (argument == "--help" || argument == "-h") {
            std::fputs(Help, stdout);
            return 0;
        }
        if (argument == "--version") {
            std::puts(quendral::program::versionText("quendral-car-editor").c_str());
            return 0;
        }
    }
    return std::nullopt;
}

int usageError(const QString& problem)
{
    std::fprintf(stderr, "quendral-car-editor: %s\n%s", qPrintable(problem), Usage);
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    if (const std::optional<int> status = answerInformationRequest(argc, argv))
        return *status;

    QApplication application(argc, argv);
    QApplication::setApplicationVersion(QString::fromLatin1(quendral::program::Version));
    // Ties the windows to the menu entry, and gives them its icon once installed.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(quendral::program::DesktopId));
    QApplication::setWindowIcon(QIcon::fromTheme(QString::fromLatin1(quendral::program::DesktopId)));

    // Qt has taken its own options out; "--" ends the options, so that a
    // folder whose name starts with a dash can be given.
    QStringList folders;
    bool optionsEnded = false;
    for (const QString& argument : QApplication::arguments().mid(1)) {
        if (!optionsEnded && argument == QLatin1String("--"))
            optionsEnded = true;
        else if (!optionsEnded && argument.startsWith(QLatin1Char('-')) && argument.size() > 1)
            return usageError(QStringLiteral("unknown option ") + argument);
        else
            folders.append(argument);
    }
    if (folders.size() > 1)
        return usageError(QStringLiteral("one folder at most"));

    quendral::MainWindow form;
    form.show();
    if (!folders.isEmpty())
        form.startIn(quendral::pathOf(folders.front()));

    // A measuring aid for start-up time: quit once both windows are up and
    // the start folder, if any, has been scanned.
    if (qEnvironmentVariableIntValue("QUENDRAL_QUIT_AFTER_START") == 1)
        QTimer::singleShot(0, &application, &QCoreApplication::quit);

    return application.exec();
}
