#pragma once

#include "controls/MessagePresenter.h"

namespace quendral::win32 {

// Shows each message as the system's modal box over a window: error icon,
// the caption and text as given, a single OK.
class MessageBoxes final : public MessagePresenter
{
public:
    void setOwner(void* window) { m_owner = window; }
    void showError(std::string_view caption, std::string_view text) override;

private:
    void* m_owner = nullptr;
};

} // namespace quendral::win32
