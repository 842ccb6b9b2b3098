#pragma once

#include "controls/ChangeSignal.h"

#include <string>
#include <string_view>

namespace quendral {

// A single-line text box without a length limit. Its text is kept as the
// bytes of the car script it came from.
class TextBox
{
public:
    const std::string& text() const { return m_text; }

    void setText(std::string_view text) { changed.update(m_text, text); }

    ChangeSignal changed;

private:
    std::string m_text;
};

} // namespace quendral
