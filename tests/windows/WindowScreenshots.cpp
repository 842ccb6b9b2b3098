// Pictures of both windows for the README: the demo cars opened, the first
// car picked, the help window still open. Run it under Xvfb, so the fonts are
// drawn as on a desktop: window-screenshots RACERS_FOLDER OUTPUT_FOLDER

#include "windows/HelpWindow.h"
#include "windows/MainWindow.h"
#include "windows/ShownText.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QTest>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    quendral::MainWindow form;
    form.show();
    if (arguments.size() != 3 || !QTest::qWaitForWindowExposed(&form) || !form.startIn(quendral::pathOf(arguments[1])))
        return 2;
    auto* cars = form.findChild<QListWidget*>(QStringLiteral("lstcars"));
    if (cars->count() == 0)
        return 1;
    QTest::mouseClick(cars->viewport(), Qt::LeftButton, {}, cars->visualItemRect(cars->item(0)).center());
    QTest::qWait(200);
    const QDir output(arguments[2]);
    const bool saved = form.grab().save(output.filePath(QStringLiteral("main-window.png")))
        && form.helpWindow()->grab().save(output.filePath(QStringLiteral("help-window.png")));
    return saved ? 0 : 1;
}
