#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quendral {

class MessagePresenter;

// What a script in UTF-16 is, wherever the editor meets one.
inline constexpr std::string_view InUtf16 = "in UTF-16, which the editor cannot edit";

// How a save, or a preview of one, tells how it ended: the one wording of
// its messages, shown through the presenter.
class SaveMessages
{
public:
    SaveMessages(MessagePresenter& messages, bool previewing) : m_messages(messages), m_previewing(previewing) {}

    std::string_view caption() const;

    // "The car "X" was not saved: REASON. Its car script is unchanged."
    void notSaved(const std::string& car, const std::string& reason) const;

    // "The car "X" was saved, but its car script could not take every
    // setting: A; B."
    void savedWithout(const std::string& car, const std::vector<std::string>& missed) const;

private:
    MessagePresenter& m_messages;
    bool m_previewing;
};

} // namespace quendral
