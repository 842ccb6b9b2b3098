#include "win32/HelpForm.h"

#include "controls/FormLayout.h"
#include "win32/WideText.h"

#include <commctrl.h>

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
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(arial(text.hundredthsOfAPoint)), FALSE);
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
