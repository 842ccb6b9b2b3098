#pragma once

#include "TestSupport.h"
#include "windows/MainWindow.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace quendral::test {

// A main window over a fresh copy of the demo racers folder (falcon_gt drives
// the front, mistral the rear, vortex_r all wheels), messages recorded.
class WindowFixture : public testing::Test
{
protected:
    WindowFixture();

    // A control of the main window by name; the help window's share names.
    template <typename Widget = QWidget>
    Widget* control(const char* name) const
    {
        for (Widget* widget : form->findChildren<Widget*>(QLatin1String(name)))
            if (widget->window() == form.get())
                return widget;
        ADD_FAILURE() << "no control " << name;
        return nullptr;
    }

    std::filesystem::path racers() const { return temp.path() / "game" / "cars" / "racers"; }
    std::filesystem::path scriptOf(const char* car) const { return racers() / car / "scripts" / "_main_.cfg"; }
    bool savedOnce(const char* car) const { return std::filesystem::exists(scriptOf(car).parent_path() / "_main_backup.cfg"); }

    void showForm();
    // Closes the help window so the main window takes the keyboard.
    void activateForm();
    // A double click on the folder's entry in Dir1.
    void openFolder(const std::filesystem::path& folder);
    void openRacers();
    void clickCar(int row, Qt::KeyboardModifiers modifiers = {});
    void click(const char* button);
    void type(const char* box, const QString& text);
    std::vector<std::string> cars() const;

    TemporaryFolder temp;
    RecordingMessages messages;
    std::unique_ptr<MainWindow> form;
};

} // namespace quendral::test
