// Saves pictures of both windows as a new user sees them with the demo cars
// loaded: the first car picked, the help window still open. Run it under a
// real X server (Xvfb) so the fonts are drawn as on a desktop:
//   window-screenshots RACERS_FOLDER OUTPUT_FOLDER

#include "windows/MainWindow.h"
#include "windows/HelpWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTest>

#include <cstdio>
#include <filesystem>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 3) {
        std::fputs("usage: window-screenshots RACERS_FOLDER OUTPUT_FOLDER\n", stderr);
        return 2;
    }

    quendral::MainWindow form;
    form.show();
    if (!QTest::qWaitForWindowExposed(&form) || !form.startIn(QFile::encodeName(arguments.at(1)).toStdString()))
        return 1;
    auto* cars = form.findChild<QListWidget*>(QStringLiteral("lstcars"));
    if (!cars || cars->count() == 0)
        return 1;
    QTest::mouseClick(cars->viewport(), Qt::LeftButton, {}, cars->visualItemRect(cars->item(0)).center());
    QTest::qWait(200);

    const QDir output(arguments.at(2));
    std::printf("layout scale %.2f\n", form.layoutScale());
    if (!form.grab().save(output.filePath(QStringLiteral("main-window.png"))))
        return 1;
    quendral::HelpWindow* help = form.helpWindow();
    if (!help || !help->grab().save(output.filePath(QStringLiteral("help-window.png"))))
        return 1;
    return 0;
}
