// Pictures of the windows for the README: the demo cars opened, the first
// car picked, the help window still open; then that car saved three times,
// the main window with its status bar and the History dialog; then another
// program's change to the script and the question Save asks. Run it under
// Xvfb, so the fonts are drawn as on a desktop (it changes the cars):
// window-screenshots RACERS_FOLDER OUTPUT_FOLDER

#include "windows/HelpWindow.h"
#include "windows/MainWindow.h"
#include "windows/ShownText.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QListWidget>
#include <QTest>

#include <fstream>

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
    bool saved = form.helpWindow()->grab().save(output.filePath(QStringLiteral("help-window.png")));
    form.helpWindow()->close();

    // Three saves of the first car, each of another setting.
    quendral::EditingControls& controls = form.controls();
    auto* save = form.findChild<QAction*>(QStringLiteral("saveAction"));
    controls.frontHeight.setValue(12);
    save->trigger();
    controls.engineV8.setValue(1);
    save->trigger();
    controls.largestWheel.setText("20");
    save->trigger();
    QTest::qWait(400);
    saved = saved && form.grab().save(output.filePath(QStringLiteral("main-window.png")));
    form.findChild<QAction*>(QStringLiteral("historyAction"))->trigger();
    auto* history = form.findChild<QDialog*>(QStringLiteral("historyDialog"));
    if (!history || !QTest::qWaitForWindowExposed(history))
        return 1;
    QTest::qWait(200);
    saved = saved && history->grab().save(output.filePath(QStringLiteral("history-dialog.png")));
    history->close();

    // Another program changes the script while the user changes a setting.
    controls.rearHeight.setValue(4);
    const auto script = quendral::pathOf(arguments[1]) / cars->item(0)->text().toStdString() / "scripts/_main_.cfg";
    std::ofstream(script, std::ios::app) << "; tuned elsewhere\r\n";
    save->trigger();
    auto* question = form.findChild<QDialog*>(QStringLiteral("conflictQuestion"));
    if (!question || !QTest::qWaitForWindowExposed(question))
        return 1;
    QTest::qWait(400);
    saved = saved && question->grab().save(output.filePath(QStringLiteral("conflict-question.png")));
    return saved ? 0 : 1;
}
