// Runs the window tests with a QApplication, headless unless told otherwise.

#include <QApplication>

#include <gtest/gtest.h>

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
