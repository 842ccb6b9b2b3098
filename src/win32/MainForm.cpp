#include "win32/MainForm.h"

#include "carscript/FileSystem.h"
#include "win32/ConflictQuestion.h"
#include "win32/DiffWindow.h"
#include "win32/HelpForm.h"
#include "win32/HistoryWindow.h"
#include "win32/WideText.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cwctype>

namespace quendral::win32 {

namespace {

constexpr wchar_t ClassName[] = L"QuendralCarEditorMain";
constexpr int FirstControlId = 100;
constexpr int FirstMenuId = 1000;
// The logo box is the image with a two-pixel sunken border on every side.
constexpr int PictureBorder = 2;
constexpr int TwipsPerInch = 1440;
// The drive chooser's list drops down below its box this far.
constexpr int DriveListDrop = 200;

struct Look
{
    const wchar_t* className;
    DWORD style;
    DWORD extendedStyle;
};

Look lookOf(FormLayout::Kind kind)
{
    using K = FormLayout::Kind;
    constexpr DWORD List = LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP;
    switch (kind) {
    case K::Frame: return {WC_BUTTONW, BS_GROUPBOX, 0};
    case K::ListBox:
    case K::FolderList:
    case K::FileList: return {WC_LISTBOXW, List, WS_EX_CLIENTEDGE};
    case K::DriveBox: return {WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0};
    case K::TextBox: return {WC_EDITW, ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case K::Button: return {WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, 0};
    case K::Label: return {WC_STATICW, SS_LEFT | SS_NOPREFIX, 0};
    case K::Slider: return {TRACKBAR_CLASSW, TBS_HORZ | TBS_NOTICKS | WS_TABSTOP, 0};
    case K::Option: return {WC_BUTTONW, BS_RADIOBUTTON | WS_TABSTOP, 0};
    case K::Check: return {WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP, 0};
    case K::Picture: return {WC_STATICW, SS_BITMAP, WS_EX_CLIENTEDGE};
    }
    return {WC_STATICW, 0, 0};
}

std::wstring menuText(const FormLayout::MenuItem& item)
{
    std::wstring text = wide(item.caption);
    if (item.ctrlKey)
        text += std::wstring(L"\tCtrl+") + static_cast<wchar_t>(item.ctrlKey);
    if (item.functionKey)
        text += L"\tF" + std::to_wstring(item.functionKey);
    return text;
}

} // namespace

MainForm::MainForm(MessagePresenter* messages)
    : m_messages(messages ? *messages : m_messageBoxes),
      m_controls(m_messages),
      m_editor(m_controls, m_messages, FileSystem::real())
{
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);

    createMenus();
    const UINT startDpi = GetDpiForSystem();
    create(ClassName, wide(FormLayout::Title), WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
           nullptr, MulDiv(FormLayout::FormSize.width, static_cast<int>(startDpi), TwipsPerInch),
           MulDiv(FormLayout::FormSize.height, static_cast<int>(startDpi), TwipsPerInch), startDpi, m_menuBar);
    m_messageBoxes.setOwner(handle());
    createControls();
    applyLayout();
    showStartFolder();
    showDriveSystem();
    showEditingFrame();
    updateCarActions();
    m_followed = follow(m_controls);
}

MainForm::~MainForm()
{
    m_question.reset();
    m_help.reset();
    m_preview.reset();
    m_history.reset();
    // Nothing a dying control notifies may reach the model.
    if (isOpen())
        SetWindowLongPtrW(handle(), GWLP_USERDATA, 0);
    if (HWND list = control("lstcars"))
        RemoveWindowSubclass(list, &MainForm::carListProcedure, 1);
    if (isOpen())
        DestroyWindow(handle());
    if (m_carContextMenu)
        DestroyMenu(m_carContextMenu);
    if (m_shortcuts)
        DestroyAcceleratorTable(m_shortcuts);
    if (m_logo)
        DeleteObject(m_logo);
}

void MainForm::createControls()
{
    const auto table = FormLayout::controls();
    for (std::size_t i = 0; i < table.size(); ++i) {
        const FormLayout::Control& layout = table[i];
        const Look look = lookOf(layout.kind);
        HWND window = addChild(look.className, wide(layout.caption), look.style | WS_CLIPSIBLINGS, RECT{},
                               FirstControlId + static_cast<int>(i), layout.name, look.extendedStyle);
        m_placed.push_back({&layout, window});
    }
    ShowWindow(control("File1"), SW_HIDE);
    for (const char* name : {"Slider1", "Slider2"}) {
        HWND slider = control(name);
        SendMessageW(slider, TBM_SETRANGE, TRUE, MAKELPARAM(RideHeightMinimum, RideHeightMaximum));
        SendMessageW(slider, TBM_SETLINESIZE, 0, 1);
        SendMessageW(slider, TBM_SETPAGESIZE, 0, 5);
    }
    m_logo = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), L"LOGO", IMAGE_BITMAP, 0, 0, 0));
    SendMessageW(control("Picture1"), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_logo));
    SetWindowSubclass(control("lstcars"), &MainForm::carListProcedure, 1, reinterpret_cast<DWORD_PTR>(this));

    // The frames lie under what they hold, which they would otherwise paint
    // over, outer ones under inner ones; the controls are stacked in the
    // order Tab moves through them. The form does not clip its controls
    // away: a frame is hollow, and the form's background shows through it.
    for (auto placed = m_placed.rbegin(); placed != m_placed.rend(); ++placed) {
        if (placed->layout->kind == FormLayout::Kind::Frame)
            SetWindowPos(placed->window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    HWND previous = HWND_TOP;
    for (const FormLayout::Control* stop : FormLayout::tabOrder()) {
        SetWindowPos(control(stop->name), previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = control(stop->name);
    }
}

void MainForm::createMenus()
{
    m_menuBar = CreateMenu();
    m_carContextMenu = CreatePopupMenu();
    std::vector<ACCEL> shortcuts;
    HMENU popup = nullptr;
    const auto items = FormLayout::menu();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const FormLayout::MenuItem& item = items[i];
        const auto id = static_cast<UINT>(FirstMenuId + i);
        if (!*item.menu) {
            popup = CreatePopupMenu();
            AppendMenuW(m_menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), wide(item.caption).c_str());
            if (std::string_view(item.name) == "carMenu")
                m_carMenu = popup;
            continue;
        }
        if (!*item.name) {
            AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        AppendMenuW(popup, MF_STRING, id, menuText(item).c_str());
        // The same car actions on the car list.
        if (popup == m_carMenu)
            AppendMenuW(m_carContextMenu, MF_STRING, id, wide(item.caption).c_str());
        if (item.ctrlKey)
            shortcuts.push_back({FVIRTKEY | FCONTROL, static_cast<WORD>(item.ctrlKey), static_cast<WORD>(id)});
        if (item.functionKey)
            shortcuts.push_back({FVIRTKEY, static_cast<WORD>(VK_F1 + item.functionKey - 1), static_cast<WORD>(id)});
    }
    m_shortcuts = CreateAcceleratorTableW(shortcuts.data(), static_cast<int>(shortcuts.size()));
}

RECT MainForm::placeOf(const FormLayout::Control& control) const
{
    TwipsRect twips = control.twips;
    for (const FormLayout::Control* at = &control; *at->container;) {
        at = &FormLayout::control(at->container);
        twips.left += at->twips.left;
        twips.top += at->twips.top;
    }
    // Edges are scaled rather than sizes, so neighbours that touch at one
    // DPI still touch, and never overlap, at another.
    const int dpi = static_cast<int>(this->dpi());
    return RECT{MulDiv(twips.left, dpi, TwipsPerInch), MulDiv(twips.top, dpi, TwipsPerInch),
                MulDiv(twips.left + twips.width, dpi, TwipsPerInch),
                MulDiv(twips.top + twips.height, dpi, TwipsPerInch)};
}

void MainForm::applyLayout()
{
    HFONT font = messageFont();
    HDC context = GetDC(handle());
    const HGDIOBJ oldFont = SelectObject(context, font);
    for (const Placed& placed : m_placed) {
        RECT place = placeOf(*placed.layout);
        SendMessageW(placed.window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (placed.layout->kind == FormLayout::Kind::Label) {
            // A label is as large as its caption, as drawn up in the font of
            // the day; in another it grows rather than cut the caption.
            const std::wstring text = windowText(placed.window);
            SIZE size{};
            GetTextExtentPoint32W(context, text.c_str(), static_cast<int>(text.size()), &size);
            place.right = std::max(place.right, place.left + size.cx);
            place.bottom = std::max(place.bottom, place.top + size.cy);
        } else if (placed.layout->kind == FormLayout::Kind::DriveBox) {
            place.bottom += scaled(DriveListDrop);
        } else if (placed.layout->kind == FormLayout::Kind::Picture) {
            BITMAP image{};
            GetObjectW(m_logo, sizeof image, &image);
            place.right = place.left + image.bmWidth + 2 * PictureBorder;
            place.bottom = place.top + image.bmHeight + 2 * PictureBorder;
        }
        SetWindowPos(placed.window, nullptr, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SelectObject(context, oldFont);
    ReleaseDC(handle(), context);
}

HWND MainForm::control(const char* name) const
{
    const auto found = std::find_if(m_placed.begin(), m_placed.end(),
                                    [name](const Placed& placed) { return std::string_view(placed.layout->name) == name; });
    return found == m_placed.end() ? nullptr : found->window;
}

const MainForm::Placed* MainForm::placedOf(HWND window) const
{
    const auto found = std::find_if(m_placed.begin(), m_placed.end(),
                                    [window](const Placed& placed) { return placed.window == window; });
    return found == m_placed.end() ? nullptr : &*found;
}

void MainForm::show(int showCommand)
{
    centreOnScreen(handle());
    ShowWindow(handle(), showCommand);
    if (!m_shown) {
        m_shown = true;
        // The help window comes first, over the middle of the screen, and the
        // main window under it.
        showHelp();
    }
}

HWND MainForm::helpWindow() const
{
    return m_help && m_help->isOpen() ? m_help->handle() : nullptr;
}

bool MainForm::translate(MSG& message)
{
    if (m_question && m_question->translate(message))
        return true;
    if (!isOpen() || (message.hwnd != handle() && !IsChild(handle(), message.hwnd)))
        return false;
    if (m_shortcuts && TranslateAcceleratorW(handle(), m_shortcuts, &message))
        return true;
    const HWND focus = message.hwnd;
    const Placed* placed = placedOf(focus);
    const auto key = static_cast<UINT>(message.wParam);
    if (message.message == WM_SYSKEYDOWN && (message.lParam & (1 << 29)) && key >= 'A' && key <= 'Z')
        return pressMnemonic(static_cast<wchar_t>(key));
    if (message.message != WM_KEYDOWN)
        return false;
    if (key == VK_TAB) {
        moveFocus(GetKeyState(VK_SHIFT) >= 0);
        return true;
    }
    if (!placed)
        return false;
    using K = FormLayout::Kind;
    if (placed->layout->kind == K::Option) {
        const int step = key == VK_DOWN || key == VK_RIGHT ? 1 : key == VK_UP || key == VK_LEFT ? -1 : 0;
        if (step != 0)
            return stepDriveSystem(focus, step);
    }
    if (key == VK_RETURN && placed->layout->kind == K::Button) {
        SendMessageW(handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(focus), BN_CLICKED), reinterpret_cast<LPARAM>(focus));
        return true;
    }
    if (key == VK_RETURN && placed->layout->kind == K::FolderList) {
        openFolderRow(static_cast<int>(SendMessageW(focus, LB_GETCURSEL, 0, 0)));
        return true;
    }
    return false;
}

void MainForm::moveFocus(bool forward)
{
    // Tab enters the drive system on the ticked button, on the first when
    // none is; the others are reached with the arrow keys or the mouse.
    const auto order = FormLayout::tabOrder();
    const int tabStop = std::max(m_controls.driveSystem.selected(), 0);
    const auto takesTab = [&](const FormLayout::Control* stop) {
        HWND window = control(stop->name);
        if (!IsWindowEnabled(window) || !IsWindowVisible(window))
            return false;
        if (stop->kind != FormLayout::Kind::Option)
            return true;
        return window == control(("Option" + std::to_string(tabStop + 1)).c_str());
    };
    const auto count = static_cast<int>(order.size());
    const HWND focus = GetFocus();
    int at = -1;
    for (int i = 0; i < count; ++i) {
        if (control(order[static_cast<std::size_t>(i)]->name) == focus)
            at = i;
    }
    if (at < 0)
        at = forward ? count - 1 : 0;
    for (int step = 1; step <= count; ++step) {
        const FormLayout::Control* next = order[static_cast<std::size_t>((at + (forward ? step : -step) + count) % count)];
        if (!takesTab(next))
            continue;
        HWND window = control(next->name);
        m_tabbing = true;
        SetFocus(window);
        m_tabbing = false;
        if (next->kind == FormLayout::Kind::TextBox)
            SendMessageW(window, EM_SETSEL, 0, -1);
        return;
    }
}

bool MainForm::pressMnemonic(wchar_t letter)
{
    for (const Placed& placed : m_placed) {
        const std::wstring caption = wide(placed.layout->caption);
        const auto mark = caption.find(L'&');
        if (mark == std::wstring::npos || mark + 1 >= caption.size()
            || std::towupper(caption[mark + 1]) != std::towupper(letter) || !IsWindowEnabled(placed.window))
            continue;
        // What the button does; the focus stays where it was, as Qt's does.
        SendMessageW(handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(placed.window), BN_CLICKED),
                     reinterpret_cast<LPARAM>(placed.window));
        return true;
    }
    return false;
}

bool MainForm::stepDriveSystem(HWND focus, int step)
{
    // The arrow keys move the tick through the drive system, round and
    // round, and the focus with it.
    const int count = m_controls.driveSystem.count();
    for (int i = 0; i < count; ++i) {
        if (control(("Option" + std::to_string(i + 1)).c_str()) != focus)
            continue;
        const int next = (i + step + count) % count;
        m_tabbing = true;
        SetFocus(control(("Option" + std::to_string(next + 1)).c_str()));
        m_tabbing = false;
        m_controls.driveSystem.setValue(next, true);
        return true;
    }
    return false;
}

LRESULT MainForm::message(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (lParam == 0 && LOWORD(wParam) >= FirstMenuId)
            menuCommand(static_cast<std::size_t>(LOWORD(wParam) - FirstMenuId));
        else if (lParam != 0 && m_quiet == 0)
            command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_HSCROLL:
        if (m_quiet == 0) {
            const auto slider = reinterpret_cast<HWND>(lParam);
            const auto value = static_cast<int>(SendMessageW(slider, TBM_GETPOS, 0, 0));
            if (slider == control("Slider1"))
                m_controls.frontHeight.setValue(value);
            else if (slider == control("Slider2"))
                m_controls.rearHeight.setValue(value);
        }
        return 0;
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) == control("lstcars")) {
            POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (at.x == -1 && at.y == -1)
                ClientToScreen(control("lstcars"), &(at = POINT{0, 0}));
            TrackPopupMenu(m_carContextMenu, TPM_RIGHTBUTTON, at.x, at.y, 0, handle(), nullptr);
            return 0;
        }
        break;
    case WM_ACTIVATE:
        // While the help window is open it keeps the focus; once closed it
        // is gone and the main window works as usual.
        if (LOWORD(wParam) != WA_INACTIVE && helpWindow() && IsWindowVisible(helpWindow())) {
            PostMessageW(helpWindow(), WM_APP, 0, 0);
            return 0;
        }
        break;
    case WM_DPICHANGED: {
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(handle(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        applyLayout();
        return 0;
    }
    case WM_CLOSE:
        // Closing the main window ends the program at once, without a
        // question; unsaved edits are lost.
        m_help.reset();
        DestroyWindow(handle());
        return 0;
    case WM_DESTROY:
        if (m_endsProgram)
            PostQuitMessage(0);
        return 0;
    default: break;
    }
    return Window::message(message, wParam, lParam);
}

LRESULT CALLBACK MainForm::carListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR data)
{
    auto* self = reinterpret_cast<MainForm*>(data);
    // A click on the car already selected changes no selection, yet picks
    // the car again: remember what was selected before the press.
    if (message == WM_LBUTTONDOWN)
        self->m_rowBeforePress = static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
    const LRESULT result = DefSubclassProc(list, message, wParam, lParam);
    if (message == WM_LBUTTONUP) {
        const auto hit = static_cast<DWORD>(SendMessageW(list, LB_ITEMFROMPOINT, 0, lParam));
        const int row = HIWORD(hit) == 0 ? static_cast<int>(LOWORD(hit)) : -1;
        if (row >= 0 && row == self->m_rowBeforePress)
            self->pickCar(row);
        self->m_rowBeforePress = -1;
    }
    return result;
}

} // namespace quendral::win32
