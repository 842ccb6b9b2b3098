#pragma once

#include "win32/Window.h"

#include <functional>
#include <string>

namespace quendral::win32 {

// Asked when the car script changed on disk after the car was loaded, before
// anything is written over it or shown as what a save would write. The
// owner is disabled while it is open; Cancel is the default, and Escape
// cancels. The control that had the focus gets it back.
class ConflictQuestion final : public Window
{
public:
    enum class Answer { Reload, GoAhead, Cancel };

    ConflictQuestion(HWND owner, const std::wstring& carName, std::function<void(Answer)> answered);
    ~ConflictQuestion() override;

    // The question's keys: Escape, Return, Tab and the mnemonics. True when
    // the message was used up.
    bool translate(MSG& message);

protected:
    LRESULT message(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void answer(Answer given);
    void layOut();

    HWND m_owner;
    HWND m_focusBefore;
    std::function<void(Answer)> m_answered;
};

} // namespace quendral::win32
