#include "win32/ConflictQuestion.h"

#include <commctrl.h>

#include <array>

namespace quendral::win32 {

namespace {

constexpr wchar_t ClassName[] = L"QuendralCarEditorConflict";
constexpr int TextId = 1;
constexpr int ReloadId = 10;
constexpr int GoAheadId = 11;
constexpr int CancelId = IDCANCEL;
constexpr std::array ButtonIds{ReloadId, GoAheadId, CancelId};
constexpr ButtonRow Buttons{12, 96, 26};

} // namespace

ConflictQuestion::ConflictQuestion(HWND owner, const std::wstring& carName, std::function<void(Answer)> answered)
    : m_owner(owner), m_focusBefore(GetFocus()), m_answered(std::move(answered))
{
    createOver(owner, ClassName, L"Changed on disk", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
               3 * Buttons.buttonWidth + 4 * Buttons.margin, 150, "conflictQuestion");
    addChild(WC_STATICW,
             L"The car script of " + carName + L" changed on disk after it was loaded.\r\n\r\n"
                 L"Reload shows what it holds now. Save anyway writes every setting as shown here over it; "
                 L"what it holds now stays in the car's history.",
             SS_LEFT, RECT{}, TextId, "conflictText");
    addChild(WC_BUTTONW, L"&Reload", BS_PUSHBUTTON | WS_TABSTOP, RECT{}, ReloadId, "reloadButton");
    addChild(WC_BUTTONW, L"Save &anyway", BS_PUSHBUTTON | WS_TABSTOP, RECT{}, GoAheadId, "saveAnywayButton");
    addChild(WC_BUTTONW, L"Cancel", BS_DEFPUSHBUTTON | WS_TABSTOP, RECT{}, CancelId, "cancelButton");
    layOut();
    centreOnScreen(handle());
    EnableWindow(m_owner, FALSE);
    ShowWindow(handle(), SW_SHOW);
    SetFocus(GetDlgItem(handle(), CancelId));
}

ConflictQuestion::~ConflictQuestion()
{
    if (isOpen())
        EnableWindow(m_owner, TRUE);
}

void ConflictQuestion::layOut()
{
    layOutAboveButtons(TextId, {}, ButtonIds, Buttons);
}

// The owner takes the keyboard back before the answer runs, which may load
// the car or save it.
void ConflictQuestion::answer(Answer given)
{
    EnableWindow(m_owner, TRUE);
    DestroyWindow(handle());
    if (m_focusBefore && IsWindow(m_focusBefore))
        SetFocus(m_focusBefore);
    else
        SetFocus(m_owner);
    const std::function<void(Answer)> answered = std::move(m_answered);
    m_answered = nullptr;
    if (answered)
        answered(given);
}

bool ConflictQuestion::translate(MSG& message)
{
    if (!isOpen() || (message.hwnd != handle() && !IsChild(handle(), message.hwnd)))
        return false;
    const auto key = static_cast<UINT>(message.wParam);
    if (message.message == WM_SYSKEYDOWN && (key == 'R' || key == 'A')) {
        answer(key == 'R' ? Answer::Reload : Answer::GoAhead);
        return true;
    }
    if (message.message != WM_KEYDOWN)
        return false;
    const HWND focus = GetFocus();
    if (key == VK_ESCAPE) {
        answer(Answer::Cancel);
        return true;
    }
    if (key == VK_RETURN || key == VK_SPACE) {
        const int id = IsChild(handle(), focus) ? GetDlgCtrlID(focus) : CancelId;
        answer(id == ReloadId ? Answer::Reload : id == GoAheadId ? Answer::GoAhead : Answer::Cancel);
        return true;
    }
    if (key == VK_TAB || key == VK_LEFT || key == VK_RIGHT) {
        const bool back = key == VK_LEFT || (key == VK_TAB && GetKeyState(VK_SHIFT) < 0);
        const auto count = static_cast<int>(ButtonIds.size());
        int at = count - 1;
        for (int i = 0; i < count; ++i) {
            if (GetDlgItem(handle(), ButtonIds[static_cast<std::size_t>(i)]) == focus)
                at = i;
        }
        SetFocus(GetDlgItem(handle(), ButtonIds[static_cast<std::size_t>((at + (back ? count - 1 : 1)) % count)]));
        return true;
    }
    return false;
}

LRESULT ConflictQuestion::message(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case ReloadId: answer(Answer::Reload); return 0;
        case GoAheadId: answer(Answer::GoAhead); return 0;
        case CancelId: answer(Answer::Cancel); return 0;
        default: break;
        }
        break;
    case WM_CLOSE: answer(Answer::Cancel); return 0;
    default: break;
    }
    return Window::message(message, wParam, lParam);
}

} // namespace quendral::win32
