#pragma once

#include "controls/ChangeSignal.h"

#include <algorithm>

namespace quendral {

// A horizontal slider with whole positions from its minimum to its maximum.
// A position outside the range is clamped to the nearest end.
class Slider
{
public:
    Slider(int minimum, int maximum) : m_minimum(minimum), m_maximum(maximum), m_value(minimum) {}

    int value() const { return m_value; }

    void setValue(int value) { changed.update(m_value, std::clamp(value, m_minimum, m_maximum)); }

    ChangeSignal changed;

private:
    int m_minimum;
    int m_maximum;
    int m_value;
};

} // namespace quendral
