#include "windows/MainWindow.h"
#include "windows/ShownText.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <filesystem>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);

    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 2) {
        std::fputs("usage: quendral-car-editor [FOLDER]\n", stderr);
        return 2;
    }

    quendral::MainWindow form;
    form.show();
    if (arguments.size() == 2)
        form.startIn(quendral::pathOf(arguments.at(1)));

    // A measuring aid for start-up time: quit once both windows are up and
    // the start folder, if any, has been scanned.
    if (qEnvironmentVariableIntValue("QUENDRAL_QUIT_AFTER_START") == 1)
        QTimer::singleShot(0, &application, &QCoreApplication::quit);

    return application.exec();
}
