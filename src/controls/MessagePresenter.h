#pragma once

#include <string_view>

namespace quendral {

// Shows the user a message that must be acknowledged: an error icon, a
// caption, a text and a single OK. The call returns once it has been
// acknowledged. The window shows a modal box; tests and the command-line
// tool record or print it.
class MessagePresenter
{
public:
    virtual ~MessagePresenter() = default;
    virtual void showError(std::string_view caption, std::string_view text) = 0;
};

} // namespace quendral
