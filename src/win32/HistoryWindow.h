#pragma once

#include "editor/CarVersions.h"
#include "win32/Window.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quendral {
class EditorSession;
}

namespace quendral::win32 {

class DiffWindow;

// The selected car's versions, newest first: each can be compared with the
// current script or made the car script again.
class HistoryWindow final : public Window
{
public:
    // `beforeRestore` runs the restore it is given, over this window, or
    // does not when the user says so.
    using Guard = std::function<void(HWND asker, std::function<void()> proceed)>;
    HistoryWindow(HWND owner, EditorSession& editor, const std::wstring& carName, std::function<void()> restored,
                  Guard beforeRestore);
    ~HistoryWindow() override;

    // Lists the versions anew and shows the window. False, after telling the
    // user, when they cannot be listed.
    bool refresh();

    HWND compareWindow() const;

protected:
    LRESULT message(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    const VersionListing* chosen() const;
    void updateButtons();
    void compare();
    void askToRestore();
    void layOut();

    EditorSession& m_editor;
    std::wstring m_carName;
    std::function<void()> m_restored;
    Guard m_beforeRestore;
    std::vector<VersionListing> m_versions;
    std::unique_ptr<DiffWindow> m_compare;
};

} // namespace quendral::win32
