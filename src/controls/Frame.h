#pragma once

#include "controls/ChangeSignal.h"

namespace quendral {

// A container that, while disabled, lets none of its controls take input.
// The controls keep their values while it is disabled.
class Frame
{
public:
    explicit Frame(bool enabled) : m_enabled(enabled) {}

    bool isEnabled() const { return m_enabled; }

    void setEnabled(bool enabled) { changed.update(m_enabled, enabled); }

    ChangeSignal changed;

private:
    bool m_enabled;
};

} // namespace quendral
