#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace quendral {

// Gives each distinct line a number, so that the diff compares numbers.
// Open addressing over the lines themselves: a script of a million distinct
// lines costs a few bytes a line, not a node each.
class LineNumbers
{
public:
    std::uint32_t numberOf(std::string_view line);

private:
    void grow();

    std::vector<std::uint32_t> m_slots;  // a line's number + 1; 0 is free
    std::vector<std::string_view> m_lines;
    std::hash<std::string_view> m_hash;
};

} // namespace quendral
