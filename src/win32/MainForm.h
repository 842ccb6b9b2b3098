#pragma once

#include "controls/ControlsView.h"
#include "controls/EditingControls.h"
#include "controls/FormLayout.h"
#include "editor/EditorSession.h"
#include "win32/MessageBoxes.h"
#include "win32/Window.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

namespace quendral::win32 {

class ConflictQuestion;
class HelpForm;
class DiffWindow;
class HistoryWindow;

// The main window: the car list, the drive and folder choosers, the editing
// frame and the Save button, laid out as drawn up in twips below a menu bar.
// It shows the controls model and hands the user's edits and events to it;
// what happens then is the model's and the editor's business.
class MainForm final : public Window, private ControlsView
{
public:
    // Messages go to `messages` when given, else to the system's boxes.
    explicit MainForm(MessagePresenter* messages = nullptr);
    ~MainForm() override;

    EditingControls& controls() { return m_controls; }

    // The help window while it is open, else nullptr.
    HWND helpWindow() const;
    // The preview or history window last opened, while it is open.
    HWND previewWindow() const;
    HWND historyWindow() const;
    // The question about a script changed on disk while it is open.
    HWND conflictQuestion() const;

    // The first show puts the help window over the middle of the screen and
    // the main window under it.
    void show(int showCommand);

    // Opens a folder in the folder chooser, as the user would; the racers
    // folder scan runs. The drive chooser moves to the folder's drive.
    bool startIn(const std::filesystem::path& folder);

    // Closing the window ends the message loop.
    void endProgramOnClose() { m_endsProgram = true; }

    // Keys the form handles before the control with the focus: Tab and
    // Shift+Tab, mnemonics, the arrows in the drive system, Return on the
    // button and in the folder chooser, and the menu's shortcuts. True
    // when the message was used up.
    bool translate(MSG& message);

protected:
    LRESULT message(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct Placed
    {
        const FormLayout::Control* layout;
        HWND window;
    };

    void createControls();
    void createMenus();
    void applyLayout();
    RECT placeOf(const FormLayout::Control& control) const;
    const Placed* placedOf(HWND window) const;
    HWND control(const char* name) const;
    void showStartFolder();

    // Events the window handles.
    void command(int id, int notification, HWND from);
    void menuCommand(std::size_t item);
    void moveFocus(bool forward);
    bool pressMnemonic(wchar_t letter);
    bool stepDriveSystem(HWND focus, int step);
    void pickDrive(int index);
    void openFolderRow(int row);
    void pickCar(int row);
    void save();
    void saveAnyway();
    void reload();
    // Runs `proceed` while the script on disk holds what was loaded; else
    // asks, and reloads or runs it as the user answers.
    void unlessChangedOnDisk(HWND asker, std::function<void()> proceed);
    void rescan();
    void chooseFolder();
    void showHelp();
    void showAbout();
    void previewChanges();
    void showHistory();
    void updateCarActions() override;

    // The model shown in the controls.
    void showDrives() override;
    void showFolder() override;
    void followFolder() override;
    void showCars() override;
    void showSelectedCar() override;
    void showEditingFrame() override;
    void showEngineChecks() override;
    void showDriveSystem() override;
    void showSliders() override;
    void showWheelSizes() override;

    static LRESULT CALLBACK carListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR id, DWORD_PTR data);

    MessageBoxes m_messageBoxes;
    MessagePresenter& m_messages;
    EditingControls m_controls;
    EditorSession m_editor;
    std::vector<Placed> m_placed;
    std::vector<std::filesystem::path> m_folderRows;
    std::unique_ptr<HelpForm> m_help;
    std::unique_ptr<DiffWindow> m_preview;
    std::unique_ptr<HistoryWindow> m_history;
    std::unique_ptr<ConflictQuestion> m_question;
    HMENU m_menuBar = nullptr;
    HMENU m_carMenu = nullptr;
    HMENU m_carContextMenu = nullptr;
    HACCEL m_shortcuts = nullptr;
    HBITMAP m_logo = nullptr;
    bool m_shown = false;
    bool m_endsProgram = false;
    // Set while the program, not the user, changes a control.
    int m_quiet = 0;
    bool m_tabbing = false;
    int m_rowBeforePress = -1;
    // Last, so that the model stops calling in first.
    std::vector<ScopedConnection> m_followed;
};

} // namespace quendral::win32
