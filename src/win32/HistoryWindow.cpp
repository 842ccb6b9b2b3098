#include "win32/HistoryWindow.h"

#include "carscript/ByteCountText.h"
#include "editor/EditorSession.h"
#include "win32/DiffWindow.h"
#include "win32/WideText.h"

#include <commctrl.h>

#include <array>

namespace quendral::win32 {

namespace {

constexpr wchar_t ClassName[] = L"QuendralCarEditorHistory";
constexpr int ListId = 10;
constexpr int CompareId = 11;
constexpr int RestoreId = 12;
constexpr int CloseId = IDCANCEL;

} // namespace

HistoryWindow::HistoryWindow(HWND owner, EditorSession& editor, const std::wstring& carName,
                             std::function<void()> restored, Guard beforeRestore)
    : m_editor(editor), m_carName(carName), m_restored(std::move(restored)), m_beforeRestore(std::move(beforeRestore))
{
    createOver(owner, ClassName, L"History of " + carName, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 720, 320,
               "historyDialog");
    HWND list = addChild(WC_LISTVIEWW, L"", LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP, RECT{},
                         ListId, "versionList", WS_EX_CLIENTEDGE);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    const wchar_t* headers[] = {L"Version", L"Time", L"Size", L"Settings"};
    for (int column = 0; column < 4; ++column) {
        LVCOLUMNW header{};
        header.mask = LVCF_TEXT | LVCF_FMT;
        header.fmt = column == 2 ? LVCFMT_RIGHT : LVCFMT_LEFT;
        header.pszText = const_cast<wchar_t*>(headers[column]);
        ListView_InsertColumn(list, column, &header);
    }
    addChild(WC_BUTTONW, L"&Compare", BS_PUSHBUTTON | WS_TABSTOP, RECT{}, CompareId, "compareButton");
    addChild(WC_BUTTONW, L"&Restore\u2026", BS_PUSHBUTTON | WS_TABSTOP, RECT{}, RestoreId, "restoreButton");
    addChild(WC_BUTTONW, L"Close", BS_PUSHBUTTON | WS_TABSTOP, RECT{}, CloseId, "closeButton");
    layOut();
    centreOnScreen(handle());
}

HistoryWindow::~HistoryWindow()
{
    m_compare.reset();
    if (isOpen())
        DestroyWindow(handle());
}

bool HistoryWindow::refresh()
{
    HWND list = GetDlgItem(handle(), ListId);
    ListView_DeleteAllItems(list);
    const bool listed = m_editor.listVersions(m_versions);
    for (std::size_t row = 0; row < m_versions.size(); ++row) {
        const VersionListing& version = m_versions[row];
        std::string label = versionText(version.name);
        if (!version.marks.empty())
            label += " (" + version.marks + ")";
        const std::wstring cells[] = {wide(label), wide(localTimeText(version.time)),
                                      wide(byteCountText(version.size)), scriptWide(version.settings)};
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(row);
        item.pszText = const_cast<wchar_t*>(cells[0].c_str());
        ListView_InsertItem(list, &item);
        for (int column = 1; column < 4; ++column)
            ListView_SetItemText(list, static_cast<int>(row), column, const_cast<wchar_t*>(cells[column].c_str()));
    }
    for (int column = 0; column < 4; ++column)
        ListView_SetColumnWidth(list, column, LVSCW_AUTOSIZE_USEHEADER);
    // The newest stored version, the one a restore most often wants.
    const int current = m_versions.size() > 1 ? 1 : 0;
    ListView_SetItemState(list, current, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    updateButtons();
    if (listed) {
        ShowWindow(handle(), SW_SHOW);
        SetFocus(list);
    }
    return listed;
}

HWND HistoryWindow::compareWindow() const
{
    return m_compare && m_compare->isOpen() ? m_compare->handle() : nullptr;
}

const VersionListing* HistoryWindow::chosen() const
{
    const int row = ListView_GetNextItem(GetDlgItem(handle(), ListId), -1, LVNI_SELECTED);
    return row < 0 || row >= static_cast<int>(m_versions.size()) ? nullptr
                                                                  : &m_versions[static_cast<std::size_t>(row)];
}

void HistoryWindow::updateButtons()
{
    const VersionListing* version = chosen();
    const bool stored = version && version->name.kind != VersionName::Kind::Current;
    EnableWindow(GetDlgItem(handle(), CompareId), stored);
    EnableWindow(GetDlgItem(handle(), RestoreId), stored);
}

void HistoryWindow::compare()
{
    const VersionListing* version = chosen();
    Comparison comparison;
    if (!version || version->name.kind == VersionName::Kind::Current
        || !m_editor.compare(version->name, VersionName{}, comparison))
        return;
    m_compare = std::make_unique<DiffWindow>(handle(), "compareDialog",
                                             m_carName + L": from version " + wide(comparison.from.label)
                                                 + L" to the current script",
                                             comparison);
}

void HistoryWindow::askToRestore()
{
    const VersionListing* version = chosen();
    if (!version || version->name.kind == VersionName::Kind::Current)
        return;
    const VersionName name = version->name;
    const std::wstring question = L"Make version " + wide(versionText(name)) + L" of " + m_carName
                                  + L" its car script?\r\n\r\nThe current script is kept in the history and the "
                                    L"backup, so this can be undone.";
    if (MessageBoxW(handle(), question.c_str(), L"Restore", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    m_beforeRestore(handle(), [this, name] {
        if (!m_editor.restore(name))
            return;
        m_restored();
        refresh();
    });
}

void HistoryWindow::layOut()
{
    layOutAboveButtons(ListId, std::array{CompareId, RestoreId}, std::array{CloseId}, DialogButtons);
}

LRESULT HistoryWindow::message(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE: layOut(); return 0;
    case WM_NOTIFY: {
        const auto* note = reinterpret_cast<const NMHDR*>(lParam);
        if (note->idFrom == ListId && note->code == LVN_ITEMCHANGED)
            updateButtons();
        else if (note->idFrom == ListId && note->code == NM_DBLCLK)
            compare();
        return 0;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case CompareId: compare(); return 0;
        case RestoreId: askToRestore(); return 0;
        case CloseId: DestroyWindow(handle()); return 0;
        default: break;
        }
        break;
    default: break;
    }
    return Window::message(message, wParam, lParam);
}

} // namespace quendral::win32
