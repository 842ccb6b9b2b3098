#pragma once

#include "controls/ChangeSignal.h"

namespace quendral {

// Option buttons that share a container: at most one of them is set.
// Buttons are numbered from 0 in the order of the container.
class OptionGroup
{
public:
    static constexpr int None = -1;

    explicit OptionGroup(int buttonCount) : m_count(buttonCount) {}

    int count() const { return m_count; }
    int selected() const { return m_selected; }
    bool value(int button) const { return button == m_selected; }

    // Setting a button clears the others; clearing it leaves none set.
    void setValue(int button, bool value)
    {
        if (button < 0 || button >= m_count)
            return;
        changed.update(m_selected, value ? button : (button == m_selected ? None : m_selected));
    }

    ChangeSignal changed;

private:
    int m_count;
    int m_selected = None;
};

// One button of an option group.
class OptionButton
{
public:
    OptionButton(OptionGroup& group, int index) : m_group(group), m_index(index) {}

    void setValue(bool value) { m_group.setValue(m_index, value); }

private:
    OptionGroup& m_group;
    int m_index;
};

} // namespace quendral
