#include "win32/DiffWindow.h"

#include "win32/WideText.h"

#include <commctrl.h>

#include <array>

namespace quendral::win32 {

namespace {

constexpr wchar_t ClassName[] = L"QuendralCarEditorDiff";
constexpr int TextId = 1;
constexpr int CloseId = IDCANCEL;

const wchar_t* prefixOf(LineDiff::Kind kind)
{
    switch (kind) {
    case LineDiff::Kind::Hunk: return L"";
    case LineDiff::Kind::Removed: return L"-";
    case LineDiff::Kind::Added: return L"+";
    case LineDiff::Kind::Context: break;
    }
    return L" ";
}

} // namespace

std::wstring DiffWindow::diffText(const Comparison& comparison)
{
    std::wstring text;
    const auto addLine = [&text](const std::wstring& line) {
        if (!text.empty())
            text += L"\r\n";
        text += line;
    };
    const LineDiff& diff = comparison.diff;
    if (diff.unchanged())
        addLine(L"No changes");
    for (const std::string& note : diff.notes)
        addLine(wide(note));
    if (!diff.lines.empty()) {
        addLine(L"--- " + comparison.from.path.native() + L"\t" + wide(comparison.from.label));
        addLine(L"+++ " + comparison.to.path.native() + L"\t" + wide(comparison.to.label));
    }
    for (const LineDiff::Line& line : diff.lines)
        addLine(prefixOf(line.kind) + scriptWide(line.text));
    return text;
}

DiffWindow::DiffWindow(HWND owner, const char* name, const std::wstring& title, const Comparison& comparison)
{
    const UINT dpi = createOver(owner, ClassName, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 720, 480, name);
    LOGFONTW font{};
    font.lfHeight = -MulDiv(9, static_cast<int>(dpi), 72);
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    wcscpy(font.lfFaceName, L"Courier New");
    m_fixed = CreateFontIndirectW(&font);
    HWND text = addChild(WC_EDITW, diffText(comparison),
                         ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL | WS_HSCROLL | WS_VSCROLL
                             | WS_TABSTOP,
                         RECT{}, TextId, "diffText", WS_EX_CLIENTEDGE);
    SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(m_fixed), FALSE);
    addChild(WC_BUTTONW, L"Close", BS_DEFPUSHBUTTON | WS_TABSTOP, RECT{}, CloseId, "closeButton");
    layOut();
    centreOnScreen(handle());
    ShowWindow(handle(), SW_SHOW);
    SetFocus(text);
}

DiffWindow::~DiffWindow()
{
    if (isOpen())
        DestroyWindow(handle());
    if (m_fixed)
        DeleteObject(m_fixed);
}

void DiffWindow::layOut()
{
    layOutAboveButtons(TextId, {}, std::array{CloseId}, DialogButtons);
}

LRESULT DiffWindow::message(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE: layOut(); return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == CloseId) {
            DestroyWindow(handle());
            return 0;
        }
        break;
    default: break;
    }
    return Window::message(message, wParam, lParam);
}

} // namespace quendral::win32
