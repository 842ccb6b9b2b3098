#include "win32/HelpForm.h"

#include "controls/FormLayout.h"
#include "win32/WideText.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace quendral::win32 {

namespace {

constexpr wchar_t ClassName[] = L"QuendralCarEditorHelp";
constexpr int TwipsPerInch = 1440;

struct Text
{
    const char* name;
    const char* container;
    const wchar_t* text;
    int hundredthsOfAPoint;
    TwipsRect twips;
    bool frame;
};

constexpr Text Texts[] = {
    {"Label1", "", L"Quendral     Car Editor", 4800, {720, 240, 6015, 2055}, false},
    {"Frame1", "", L"How it works????", 1200, {600, 2640, 6255, 1815}, true},
    {"Label2", "Frame1",
     L"Just point it to the directory where the car files are in. (Def. ..\\cars\\racers). Select a car and change "
     L"the specs!!!",
     975, {120, 360, 6015, 495}, false},
    {"Label3", "Frame1", L"Drive safely and have FUNNNNNNNNN", 975, {120, 1320, 6015, 375}, false},
    {"Frame2", "", L"Member of", 975, {600, 4800, 6255, 1335}, true},
};
// A fixed box in Frame2, smaller than the logo: the logo's lower part is cut off.
constexpr TwipsRect PicturePlace{600 + 840, 4800 + 240, 4575, 975};

// Breaks the text only at blanks, before the first word that would not fit;
// the system would break a path at its backslashes too.
std::wstring wrapAtBlanks(HWND label, HFONT font, const std::wstring& text, int width)
{
    HDC context = GetDC(label);
    const HGDIOBJ old = SelectObject(context, font);
    const auto fits = [&](const std::wstring& line) {
        SIZE size{};
        GetTextExtentPoint32W(context, line.c_str(), static_cast<int>(line.size()), &size);
        return size.cx <= width;
    };
    std::wstring wrapped, line;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t wordStart = std::min(text.find_first_not_of(L' ', at), text.size());
        const std::size_t end = std::min(text.find(L' ', wordStart), text.size());
        const std::wstring blanks = text.substr(at, wordStart - at);
        const std::wstring word = text.substr(wordStart, end - wordStart);
        if (!line.empty() && !word.empty() && !fits(line + blanks + word)) {
            wrapped += line + blanks + L"\r\n";
            line = word;
        } else {
            line += blanks + word;
        }
        at = end;
    }
    SelectObject(context, old);
    ReleaseDC(label, context);
    return wrapped + line;
}

} // namespace

HelpForm::HelpForm(HWND owner)
{
    const UINT dpi = GetDpiForWindow(owner) ? GetDpiForWindow(owner) : USER_DEFAULT_SCREEN_DPI;
    const auto pixels = [dpi](int twips) { return MulDiv(twips, static_cast<int>(dpi), TwipsPerInch); };
    create(ClassName, wide(FormLayout::Title), WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, owner,
           pixels(7230), pixels(6330), dpi);
    SetWindowLongPtrW(handle(), GWL_EXSTYLE, GetWindowLongPtrW(handle(), GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
    for (const Text& text : Texts) {
        TwipsRect twips = text.twips;
        if (*text.container) {
            twips.left += Texts[1].twips.left;
            twips.top += Texts[1].twips.top;
        }
        const RECT place{pixels(twips.left), pixels(twips.top), pixels(twips.left + twips.width),
                         pixels(twips.top + twips.height)};
        HWND control = addChild(text.frame ? WC_BUTTONW : WC_STATICW, text.text,
                                (text.frame ? BS_GROUPBOX : SS_LEFT | SS_NOPREFIX) | WS_CLIPSIBLINGS, place, 0, text.name);
        const HFONT font = arial(text.hundredthsOfAPoint);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (!text.frame)
            SetWindowTextW(control, wrapAtBlanks(control, font, text.text, place.right - place.left).c_str());
    }
    m_logo = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), L"LOGO", IMAGE_BITMAP, 0, 0, 0));
    const TwipsRect& p = PicturePlace;
    addChild(WC_STATICW, L"", SS_OWNERDRAW | WS_CLIPSIBLINGS,
             RECT{pixels(p.left), pixels(p.top), pixels(p.left + p.width), pixels(p.top + p.height)}, 1, "Picture1");
    // The frames under what they hold, which they would otherwise paint over.
    for (const Text& text : Texts) {
        if (text.frame)
            SetWindowPos(child(text.name), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    centreOnScreen(handle());
}

HelpForm::~HelpForm()
{
    if (isOpen())
        DestroyWindow(handle());
    for (int i = 0; i < m_fontCount; ++i)
        DeleteObject(m_fonts[i]);
    if (m_logo)
        DeleteObject(m_logo);
}

// Arial, the face the texts were laid out in, so they break where they were
// meant to; sized in points, so the layout needs no scaling beyond the twips.
HFONT HelpForm::arial(int hundredthsOfAPoint)
{
    LOGFONTW font{};
    font.lfHeight = -MulDiv(hundredthsOfAPoint, static_cast<int>(dpi()), 7200);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    wcscpy(font.lfFaceName, L"Arial");
    for (int i = 0; i < m_fontCount; ++i) {
        LOGFONTW made{};
        GetObjectW(m_fonts[i], sizeof made, &made);
        if (made.lfHeight == font.lfHeight)
            return m_fonts[i];
    }
    m_fonts[m_fontCount] = CreateFontIndirectW(&font);
    return m_fonts[m_fontCount++];
}

LRESULT HelpForm::message(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN:
        // Without a window manager there is no title bar to close the window
        // by, and it covers the editing frame.
        if (wParam == VK_ESCAPE) {
            DestroyWindow(handle());
            return 0;
        }
        break;
    case WM_APP:
        SetActiveWindow(handle());
        return 0;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        HDC source = CreateCompatibleDC(item->hDC);
        const HGDIOBJ old = SelectObject(source, m_logo);
        const RECT& box = item->rcItem;
        BitBlt(item->hDC, box.left, box.top, box.right - box.left, box.bottom - box.top, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
        return TRUE;
    }
    default: break;
    }
    return Window::message(message, wParam, lParam);
}

} // namespace quendral::win32
