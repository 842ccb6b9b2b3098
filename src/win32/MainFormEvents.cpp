// The main window's events and the model shown in its controls.
#include "win32/MainForm.h"

#include "ProgramInfo.h"
#include "catalogue/FolderListing.h"
#include "carscript/FileSystem.h"
#include "win32/ConflictQuestion.h"
#include "win32/DiffWindow.h"
#include "win32/DriveLetters.h"
#include "win32/HelpForm.h"
#include "win32/HistoryWindow.h"
#include "win32/WideText.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>

namespace quendral::win32 {

namespace {

// While the program, not the user, changes controls: their notifications
// are not the user's edits.
class Quiet
{
public:
    explicit Quiet(int& count) : m_count(count) { ++m_count; }
    ~Quiet() { --m_count; }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;

private:
    int& m_count;
};

std::wstring selectedCarName(const EditingControls& controls)
{
    const int index = controls.carList.listIndex();
    return index < 0 ? std::wstring() : shownWide(controls.carList.items()[static_cast<std::size_t>(index)]);
}

} // namespace

void MainForm::command(int id, int notification, HWND from)
{
    const Placed* placed = placedOf(from);
    if (!placed || id < 100)
        return;
    const std::string_view name = placed->layout->name;
    const auto selection = [from] { return static_cast<int>(SendMessageW(from, LB_GETCURSEL, 0, 0)); };
    if (name == "lstcars" && notification == LBN_SELCHANGE) {
        pickCar(selection());
    } else if (name == "Dir1" && notification == LBN_DBLCLK) {
        openFolderRow(selection());
    } else if (name == "Drive1" && notification == CBN_SELCHANGE) {
        pickDrive(static_cast<int>(SendMessageW(from, CB_GETCURSEL, 0, 0)));
    } else if (name == "cmdSave" && notification == BN_CLICKED) {
        save();
    } else if ((name == "txtminw" || name == "txtmaxw") && notification == EN_CHANGE) {
        TextBox& box = name == "txtminw" ? m_controls.smallestWheel : m_controls.largestWheel;
        box.setText(scriptBytes(windowText(from)));
    } else if (placed->layout->kind == FormLayout::Kind::Check && notification == BN_CLICKED) {
        const auto checks = m_controls.engineChecks();
        const auto index = static_cast<std::size_t>(name.back() - '1');
        checks[index]->setValue(SendMessageW(from, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
        showEngineChecks();
    } else if (placed->layout->kind == FormLayout::Kind::Option && notification == BN_CLICKED && !m_tabbing) {
        m_controls.driveSystem.setValue(name.back() - '1', true);
    }
}

void MainForm::menuCommand(std::size_t item)
{
    const auto items = FormLayout::menu();
    if (item >= items.size())
        return;
    const std::string_view name = items[item].name;
    if (name == "openFolderAction")
        chooseFolder();
    else if (name == "saveAction")
        save();
    else if (name == "rescanAction")
        rescan();
    else if (name == "quitAction")
        PostMessageW(handle(), WM_CLOSE, 0, 0);
    else if (name == "previewAction" && m_editor.carLoaded())
        previewChanges();
    else if (name == "historyAction" && m_editor.carLoaded())
        showHistory();
    else if (name == "helpAction")
        showHelp();
    else if (name == "aboutAction")
        showAbout();
}

void MainForm::showStartFolder()
{
    m_editor.showStartFolder(&DriveLetters::driveOf, &DriveLetters::drives);
    showDrives();
    showFolder();
}

bool MainForm::startIn(const std::filesystem::path& folder)
{
    return m_editor.startIn(folder);
}

void MainForm::pickDrive(int index)
{
    const auto& drives = m_controls.driveChooser.drives();
    if (index < 0 || index >= static_cast<int>(drives.size()))
        return;
    // A copy: the folder change renews the list of drives. A drive that
    // cannot be read has been reported; the chooser goes back.
    const std::filesystem::path drive = drives[static_cast<std::size_t>(index)];
    if (!m_editor.pickDrive(drive))
        showDrives();
}

void MainForm::openFolderRow(int row)
{
    if (row < 0 || row >= static_cast<int>(m_folderRows.size()))
        return;
    const std::filesystem::path folder = m_folderRows[static_cast<std::size_t>(row)];
    if (folder == m_controls.folderChooser.path())
        return;
    if (!m_editor.openFolder(folder))
        showFolder();
}

void MainForm::pickCar(int row)
{
    if (row < 0)
        return;
    m_controls.carList.setListIndex(row);
    m_editor.loadSelectedCar();
    updateCarActions();
}

// The window shows every setting; what the user sees is what is saved.
// Only over the script it was loaded from, unless the user says so.
void MainForm::save()
{
    const std::optional<ScriptStamp> loaded = m_editor.loadedStamp();
    if (!loaded) {
        saveAnyway();
        return;
    }
    if (m_editor.saveOver(*loaded, EditorSession::SaveScope::EveryControl) == EditorSession::SaveOutcome::ChangedOnDisk)
        unlessChangedOnDisk(handle(), [this] { saveAnyway(); });
    updateCarActions();
}

void MainForm::saveAnyway()
{
    m_editor.save(EditorSession::SaveScope::EveryControl);
    updateCarActions();
}

void MainForm::reload()
{
    m_editor.loadSelectedCar();
    updateCarActions();
}

void MainForm::unlessChangedOnDisk(HWND asker, std::function<void()> proceed)
{
    const std::optional<ScriptStamp> loaded = m_editor.loadedStamp();
    const std::optional<ScriptStamp> onDisk = m_editor.stampOnDisk();
    if (!loaded || (onDisk && onDisk->sameBytes(*loaded))) {
        proceed();
        return;
    }
    m_question = std::make_unique<ConflictQuestion>(
        asker, selectedCarName(m_controls), [this, proceed = std::move(proceed)](ConflictQuestion::Answer answer) {
            if (answer == ConflictQuestion::Answer::Reload)
                reload();
            else if (answer == ConflictQuestion::Answer::GoAhead)
                proceed();
        });
}

HWND MainForm::conflictQuestion() const
{
    return m_question && m_question->isOpen() ? m_question->handle() : nullptr;
}

// The racers folder read again, for cars added or removed on disk; the
// picked car stays picked while it is there.
void MainForm::rescan()
{
    const int index = m_controls.carList.listIndex();
    const std::string picked = index < 0 ? std::string() : m_controls.carList.items()[static_cast<std::size_t>(index)];
    std::optional<int> found;
    if (m_editor.rescan(picked, found) && found)
        pickCar(*found);
}

// As though the folder had been picked in the folder chooser.
void MainForm::chooseFolder()
{
    const std::wstring start = m_controls.folderChooser.path().native();
    BROWSEINFOW browse{};
    browse.hwndOwner = handle();
    browse.lpszTitle = L"Open racers folder";
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    browse.lpfn = [](HWND dialog, UINT message, LPARAM, LPARAM start) -> int {
        if (message == BFFM_INITIALIZED)
            SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, start);
        return 0;
    };
    browse.lParam = reinterpret_cast<LPARAM>(start.c_str());
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
    if (!chosen)
        return;
    wchar_t folder[MAX_PATH] = {};
    const bool named = SHGetPathFromIDListW(chosen, folder);
    CoTaskMemFree(chosen);
    if (named && !m_editor.openFolder(std::filesystem::path(folder)))
        showFolder();
}

void MainForm::showHelp()
{
    if (!helpWindow())
        m_help = std::make_unique<HelpForm>(handle());
    ShowWindow(m_help->handle(), SW_SHOW);
    SetForegroundWindow(m_help->handle());
    SetActiveWindow(m_help->handle());
}

void MainForm::showAbout()
{
    const std::wstring title = L"About " + wide(program::Name);
    const std::wstring text = wide(program::Name) + L" " + wide(program::Version) + L"\r\n\r\n"
                              + wide(program::Copyright) + L".\r\nReleased under the " + wide(program::LicenceName)
                              + L" licence.";
    MSGBOXPARAMSW box{};
    box.cbSize = sizeof box;
    box.hwndOwner = handle();
    box.hInstance = GetModuleHandleW(nullptr);
    box.lpszText = text.c_str();
    box.lpszCaption = title.c_str();
    box.dwStyle = MB_OK | MB_USERICON;
    box.lpszIcon = L"EDITOR";
    MessageBoxIndirectW(&box);
}

void MainForm::previewChanges()
{
    unlessChangedOnDisk(handle(), [this] {
        Comparison comparison;
        if (!m_editor.compare(VersionName{}, VersionName{VersionName::Kind::Saved, 0}, comparison))
            return;
        m_preview = std::make_unique<DiffWindow>(handle(), "previewDialog",
                                                 L"Preview changes to " + selectedCarName(m_controls), comparison);
    });
}

void MainForm::showHistory()
{
    auto history = std::make_unique<HistoryWindow>(handle(), m_editor, selectedCarName(m_controls), [this] {
        m_editor.loadSelectedCar();
        updateCarActions();
    }, [this](HWND asker, std::function<void()> proceed) { unlessChangedOnDisk(asker, std::move(proceed)); });
    if (history->refresh())
        m_history = std::move(history);
}

HWND MainForm::previewWindow() const
{
    return m_preview && m_preview->isOpen() ? m_preview->handle() : nullptr;
}

HWND MainForm::historyWindow() const
{
    return m_history && m_history->isOpen() ? m_history->handle() : nullptr;
}

void MainForm::updateCarActions()
{
    const UINT state = m_editor.carLoaded() ? MF_ENABLED : MF_GRAYED;
    const int position = 1;  // File, Car, Help
    EnableMenuItem(m_menuBar, position, MF_BYPOSITION | state);
    for (HMENU menu : {m_carMenu, m_carContextMenu}) {
        for (int i = 0; i < GetMenuItemCount(menu); ++i)
            EnableMenuItem(menu, static_cast<UINT>(i), MF_BYPOSITION | state);
    }
    DrawMenuBar(handle());
}

void MainForm::showDrives()
{
    const Quiet quiet(m_quiet);
    HWND box = control("Drive1");
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    const auto& drives = m_controls.driveChooser.drives();
    for (const std::filesystem::path& drive : drives)
        SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(DriveLetters::displayName(drive).c_str()));
    const auto current = std::find(drives.begin(), drives.end(), m_controls.driveChooser.drive());
    SendMessageW(box, CB_SETCURSEL, current == drives.end() ? static_cast<WPARAM>(-1) : current - drives.begin(), 0);
}

// Whichever way the folder changed, the drive chooser shows its drive; the
// folder has been scanned already.
void MainForm::followFolder()
{
    const std::filesystem::path drive = DriveLetters::driveOf(m_controls.folderChooser.path());
    m_controls.driveChooser.setDrives(DriveLetters::drives(drive));
    m_controls.driveChooser.setDrive(drive);
}

void MainForm::showFolder()
{
    const Quiet quiet(m_quiet);
    // The parents from the root down, each one step further in, the folder
    // itself (selected), then its subfolders one step further still.
    HWND list = control("Dir1");
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    m_folderRows.clear();
    const std::filesystem::path& folder = m_controls.folderChooser.path();
    std::size_t depth = 0;
    const auto add = [&](const std::filesystem::path& path, const std::wstring& name) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>((std::wstring(2 * depth, L' ') + name).c_str()));
        m_folderRows.push_back(path);
    };
    std::filesystem::path built = folder.root_path();
    if (!built.empty())
        add(built, built.native());
    for (const std::filesystem::path& piece : folder.relative_path()) {
        if (piece.empty())
            continue;
        built /= piece;
        ++depth;
        add(built, piece.native());
    }
    const auto current = static_cast<WPARAM>(m_folderRows.size()) - 1;
    // What cannot be read is shown without subfolders: the window reports
    // it when the folder is opened.
    FolderContents contents;
    std::string ignored;
    ++depth;
    if (!m_folderRows.empty() && listFolder(FileSystem::real(), folder, contents, ignored)) {
        for (const std::string& name : contents.subfolders) {
            const std::filesystem::path subfolder = folder / pathFromText(name);
            add(subfolder, subfolder.filename().native());
        }
    }
    SendMessageW(list, LB_SETCURSEL, current, 0);

    HWND files = control("File1");
    SendMessageW(files, LB_RESETCONTENT, 0, 0);
    for (const std::string& name : m_controls.fileList.names())
        SendMessageW(files, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shownWide(name).c_str()));
}

void MainForm::showCars()
{
    const Quiet quiet(m_quiet);
    HWND list = control("lstcars");
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& name : m_controls.carList.items())
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shownWide(name).c_str()));
    showSelectedCar();
}

void MainForm::showSelectedCar()
{
    const Quiet quiet(m_quiet);
    SendMessageW(control("lstcars"), LB_SETCURSEL, static_cast<WPARAM>(m_controls.carList.listIndex()), 0);
}

void MainForm::showEditingFrame()
{
    const bool enabled = m_controls.editingFrame.isEnabled();
    for (const Placed& placed : m_placed) {
        if (std::string_view(placed.layout->name) == "Frame3" || FormLayout::isInside(*placed.layout, "Frame3"))
            EnableWindow(placed.window, enabled);
    }
}

void MainForm::showEngineChecks()
{
    const Quiet quiet(m_quiet);
    const auto checks = m_controls.engineChecks();
    for (std::size_t i = 0; i < checks.size(); ++i)
        SendMessageW(control(("Check" + std::to_string(i + 1)).c_str()), BM_SETCHECK,
                     checks[i]->isChecked() ? BST_CHECKED : BST_UNCHECKED, 0);
}

void MainForm::showDriveSystem()
{
    const Quiet quiet(m_quiet);
    for (int i = 0; i < m_controls.driveSystem.count(); ++i)
        SendMessageW(control(("Option" + std::to_string(i + 1)).c_str()), BM_SETCHECK,
                     m_controls.driveSystem.value(i) ? BST_CHECKED : BST_UNCHECKED, 0);
}

void MainForm::showSliders()
{
    const Quiet quiet(m_quiet);
    SendMessageW(control("Slider1"), TBM_SETPOS, TRUE, m_controls.frontHeight.value());
    SendMessageW(control("Slider2"), TBM_SETPOS, TRUE, m_controls.rearHeight.value());
}

void MainForm::showWheelSizes()
{
    const Quiet quiet(m_quiet);
    // Rewriting an unchanged box would throw the cursor to its start.
    const std::pair<const char*, const TextBox*> boxes[] = {{"txtminw", &m_controls.smallestWheel},
                                                           {"txtmaxw", &m_controls.largestWheel}};
    for (const auto& [name, box] : boxes) {
        HWND edit = control(name);
        if (scriptBytes(windowText(edit)) != box->text()) {
            SetWindowTextW(edit, scriptWide(box->text()).c_str());
            const auto end = static_cast<WPARAM>(GetWindowTextLengthW(edit));
            SendMessageW(edit, EM_SETSEL, end, static_cast<LPARAM>(end));
        }
    }
}

} // namespace quendral::win32
