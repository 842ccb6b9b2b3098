#pragma once

#include "controls/ChangeSignal.h"

namespace quendral {

// A check box: Value 0 (not ticked) or 1 (ticked).
class CheckBox
{
public:
    int value() const { return m_value; }
    bool isChecked() const { return m_value == 1; }

    void setValue(int value) { changed.update(m_value, value == 0 ? 0 : 1); }

    ChangeSignal changed;

private:
    int m_value = 0;
};

} // namespace quendral
