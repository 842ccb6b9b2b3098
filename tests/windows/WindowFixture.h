#pragma once

#include "Support.h"
#include "windows/MainWindow.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

class QListWidget;
class QTreeWidgetItem;

namespace quendral::test {

// A main window over a fresh copy of the demo racers folder, with every
// message recorded instead of shown.
class WindowFixture : public testing::Test
{
protected:
    WindowFixture();
    ~WindowFixture() override;

    // A control of the main window by name; the help window's controls,
    // which share some names, are not searched.
    template <typename Widget>
    Widget* control(const char* name) const
    {
        for (Widget* widget : form->findChildren<Widget*>(QLatin1String(name))) {
            if (widget->window() == form.get())
                return widget;
        }
        ADD_FAILURE() << "no control " << name;
        return nullptr;
    }

    std::filesystem::path racers() const { return temp.path() / "game" / "cars" / "racers"; }
    std::filesystem::path carScriptOf(const std::string& car) const
    {
        return racers() / car / "scripts" / "_main_.cfg";
    }

    // Shows the main window (and with it the help window) and waits for it.
    void showForm();
    // Shows the main window, closes the help window and waits until the
    // main window has the focus, as keyboard use needs.
    void activateForm();
    // Opens a folder the way a user does: double click on its entry in Dir1.
    void doubleClickFolder(const std::filesystem::path& folder);
    // Opens the racers folder from its parent in Dir1.
    void openRacersFolder();
    void clickCar(int row);
    void typeInto(const char* box, const QString& text);

    std::vector<std::string> carNames() const;

    TemporaryFolder temp;
    RecordingMessages messages;
    std::unique_ptr<MainWindow> form;
};

} // namespace quendral::test
