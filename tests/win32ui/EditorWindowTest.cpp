// The native Windows window driven by messages, under Wine in the Windows build.

#include "FormDriver.h"
#include "KeyTable.h"
#include "Support.h"
#include "win32/WideText.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <vector>

namespace quendral::test {
namespace {

// A main window over a copy of the demo racers folder (falcon_gt drives the
// front, mistral the rear, vortex_r all wheels) and a fourth car that drives
// no axle, its messages recorded.
class Editor : public testing::Test
{
protected:
    Editor()
    {
        std::filesystem::create_directories(racers().parent_path());
        std::filesystem::copy(QUENDRAL_EXAMPLES_DIR, racers(), std::filesystem::copy_options::recursive);
        makeCar(racers() / "zeta",
                carScript({}, "-0.500", "1.000 0.000 1.000 0.000", "-0.44", "0.000 0.000 1.000 1.000", 15, 17));
        writeBytes(racers() / "zeta.rpk", "");
    }

    void open()
    {
        form.show(SW_SHOWNORMAL);
        driver.pump();
        ASSERT_TRUE(form.helpWindow());
        SendMessageW(form.helpWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
        ASSERT_TRUE(form.startIn(racers()));
        driver.pump();
    }

    // Another program saves falcon_gt with V10 ticked.
    void saveElsewhere()
    {
        ASSERT_TRUE(saveWithV10Ticked(racers() / "falcon_gt"));
    }

    std::filesystem::path racers() const { return temp.path() / "cars" / "racers"; }
    bool saved(const char* car) const { return std::filesystem::exists(racers() / car / "scripts/_main_backup.cfg"); }

    TemporaryFolder temp;
    RecordingMessages messages;
    win32::MainForm form{&messages};
    FormDriver driver{form};
};

struct KeyPresses : Editor, testing::WithParamInterface<KeyRow> {};

TEST_P(KeyPresses, MoveTheFocusAndTheChoiceAsOnTheDesktop)
{
    const KeyRow& row = GetParam();
    open();
    if (row.car >= 0)
        driver.pickCar(row.car);
    driver.focus(row.focus);
    // This window has no notice of a change on disk; it asks at Save.
    for (std::size_t i = 0; i <= row.keys.size(); ++i) {
        if (static_cast<int>(i) == row.savedMeanwhile)
            saveElsewhere();
        if (i < row.keys.size())
            driver.press(row.keys[i]);
        if (HWND question = form.conflictQuestion()) {
            EXPECT_EQ(win32::utf8(win32::windowText(GetDlgItem(question, 1))).find(
                          "The car script of falcon_gt changed on disk after it was loaded."),
                      0u);
        }
    }
    EXPECT_FALSE(form.conflictQuestion());
    EXPECT_EQ(saved("falcon_gt"), row.saves);
    EXPECT_EQ(win32::Window::nameOf(GetFocus()), row.focusAfter);
    EXPECT_EQ(driver.shown(), row.shownAfter);
    EXPECT_EQ(messages.captions(), *row.message ? std::vector<std::string>{row.message} : std::vector<std::string>{});
    if (row.saves) {
        driver.pickCar(1);
        driver.pickCar(0);
        EXPECT_EQ(driver.shown(), row.reloaded ? row.reloaded : row.shownAfter);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, KeyPresses, testing::ValuesIn(SharedKeyRows),
                         [](const testing::TestParamInfo<KeyRow>& row) {
                             return "row" + std::to_string(row.index) + "_" + row.param.focus;
                         });

TEST_F(Editor, EveryControlOfTheTableIsMadeWithItsCaptionAndStandsInsideItsContainer)
{
    for (const FormLayout::Control& layout : FormLayout::controls()) {
        SCOPED_TRACE(layout.name);
        HWND control = driver.control(layout.name);
        ASSERT_TRUE(control);
        if (layout.kind != FormLayout::Kind::ListBox && layout.kind != FormLayout::Kind::FolderList
            && layout.kind != FormLayout::Kind::DriveBox && layout.kind != FormLayout::Kind::FileList) {
            EXPECT_EQ(win32::utf8(win32::windowText(control)), layout.caption);
        }
        if (!*layout.container || layout.kind == FormLayout::Kind::Label)
            continue;
        RECT inner{}, outer{};
        GetWindowRect(control, &inner);
        GetWindowRect(driver.control(layout.container), &outer);
        RECT both{};
        UnionRect(&both, &inner, &outer);
        EXPECT_TRUE(EqualRect(&both, &outer));
    }
    EXPECT_EQ(win32::windowText(form.handle()), win32::wide(FormLayout::Title));
}

TEST_F(Editor, BothWindowsAreCaptionedAlikeAndEscapeClosesTheHelpWindow)
{
    form.show(SW_SHOWNORMAL);
    driver.pump();
    ASSERT_TRUE(form.helpWindow());
    EXPECT_EQ(win32::windowText(form.helpWindow()), win32::windowText(form.handle()));
    EXPECT_EQ(win32::utf8(win32::windowText(form.handle())), "Quendral Car editor (V1.1b)");
    SendMessageW(form.helpWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(form.helpWindow());
    driver.focus("lstcars");
    driver.press("F1");
    EXPECT_TRUE(form.helpWindow());
}

TEST_F(Editor, ADoubleClickInTheFolderChooserOpensTheFolderAndTheDriveChooserFollows)
{
    open();
    HWND folders = driver.control("Dir1");
    const auto parentRow = SendMessageW(folders, LB_GETCURSEL, 0, 0) - 1;
    SendMessageW(folders, LB_SETCURSEL, static_cast<WPARAM>(parentRow), 0);
    SendMessageW(form.handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(folders), LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(folders));
    EXPECT_EQ(form.controls().folderChooser.path(), racers().parent_path());
    EXPECT_EQ(SendMessageW(driver.control("lstcars"), LB_GETCOUNT, 0, 0), form.controls().carList.listCount());
    EXPECT_EQ(SendMessageW(folders, LB_GETCURSEL, 0, 0), parentRow);
    HWND drives = driver.control("Drive1");
    std::wstring drive(256, L'\0');
    drive.resize(static_cast<std::size_t>(
        SendMessageW(drives, CB_GETLBTEXT, SendMessageW(drives, CB_GETCURSEL, 0, 0), reinterpret_cast<LPARAM>(drive.data()))));
    EXPECT_EQ(drive.rfind(racers().root_path().native(), 0), 0u) << win32::utf8(drive);
}

TEST_F(Editor, TheCarMenuWorksOnceACarIsLoadedAndItsShortcutsOpenItsWindows)
{
    open();
    driver.focus("lstcars");
    driver.press("Ctrl+S");
    EXPECT_EQ(messages.captions(), std::vector<std::string>{"Save file"});
    driver.press("Ctrl+D");
    EXPECT_FALSE(form.previewWindow());
    driver.pickCar(1);
    driver.click("Check1");
    driver.press("Ctrl+D");
    ASSERT_TRUE(form.previewWindow());
    EXPECT_EQ(win32::windowText(form.previewWindow()), L"Preview changes to mistral");
    const std::wstring diff = win32::windowText(GetDlgItem(form.previewWindow(), 1));
    EXPECT_NE(diff.find(L"\r\n+"), std::wstring::npos) << win32::utf8(diff);
    SendMessageW(GetDlgItem(form.previewWindow(), IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_FALSE(form.previewWindow());
    // Not over a script changed on disk unless the user says so.
    driver.pickCar(0);
    saveElsewhere();
    for (const char* answer : {"Escape", "Alt+A"}) {
        driver.focus("lstcars");
        driver.press("Ctrl+D");
        EXPECT_TRUE(form.conflictQuestion());
        driver.press(answer);
        EXPECT_EQ(form.previewWindow() != nullptr, answer == std::string_view("Alt+A"));
    }
    SendMessageW(GetDlgItem(form.previewWindow(), IDCANCEL), BM_CLICK, 0, 0);
    driver.pickCar(1);
    driver.click("Check1");
    driver.focus("lstcars");
    driver.press("Ctrl+S");
    driver.press("Ctrl+H");
    ASSERT_TRUE(form.historyWindow());
    EXPECT_EQ(win32::windowText(form.historyWindow()), L"History of mistral");
    // The script as saved, and the one the save replaced.
    EXPECT_EQ(ListView_GetItemCount(GetDlgItem(form.historyWindow(), 10)), 2);
}

} // namespace
} // namespace quendral::test
