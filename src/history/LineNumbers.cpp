#include "history/LineNumbers.h"

#include <algorithm>
#include <limits>
#include <new>

namespace quendral {

std::uint32_t LineNumbers::numberOf(std::string_view line)
{
    if (2 * (m_lines.size() + 1) > m_slots.size())
        grow();
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t slot = m_hash(line) & mask;; slot = (slot + 1) & mask) {
        if (m_slots[slot] == 0) {
            m_lines.push_back(line);
            m_slots[slot] = static_cast<std::uint32_t>(m_lines.size());
            return m_slots[slot] - 1;
        }
        if (m_lines[m_slots[slot] - 1] == line)
            return m_slots[slot] - 1;
    }
}

void LineNumbers::grow()
{
    if (m_lines.size() >= std::numeric_limits<std::uint32_t>::max() / 4)
        throw std::bad_alloc();
    std::vector<std::uint32_t> slots(std::max<std::size_t>(1024, 2 * m_slots.size()), 0);
    const std::size_t mask = slots.size() - 1;
    for (std::size_t number = 0; number < m_lines.size(); ++number) {
        std::size_t slot = m_hash(m_lines[number]) & mask;
        while (slots[slot] != 0)
            slot = (slot + 1) & mask;
        slots[slot] = static_cast<std::uint32_t>(number + 1);
    }
    m_slots = std::move(slots);
}

} // namespace quendral
