// Runs the window tests with a QApplication, headless unless told otherwise.

#include <QApplication>

#include <gtest/gtest.h>

// Leaks inside the font and display libraries are theirs, reported once per
// process and out of our reach; the window code's own stay reported.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\n"
           "leak:libfreetype\n"
           "leak:libglib\n"
           "leak:libdbus\n"
           "leak:libQt6DBus\n";
}

int main(int argc, char* argv[])
{
    // Also when CTest lists the tests, which runs without the tests' own
    // environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
