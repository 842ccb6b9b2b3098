#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace quendral {

// Splits at LF, CR LF and a lone CR, as the field reader does; each line
// with its end where `withEnds`.
class LineReader
{
public:
    enum class End { None, Lf, CrLf, Cr };

    LineReader(std::string_view text, bool withEnds) : m_text(text), m_withEnds(withEnds) {}

    bool next(std::string_view& line, End& end)
    {
        if (m_at == m_text.size())
            return false;
        const std::size_t start = m_at;
        const std::size_t stop = std::min(m_text.find_first_of("\r\n", start), m_text.size());
        end = stop == m_text.size() ? End::None : m_text[stop] == '\n' ? End::Lf : End::Cr;
        m_at = stop + (end != End::None);
        if (end == End::Cr && m_at < m_text.size() && m_text[m_at] == '\n') {
            end = End::CrLf;
            ++m_at;
        }
        line = m_text.substr(start, (m_withEnds ? m_at : stop) - start);
        return true;
    }

    // The line numbered `index`, counting from 0; indexes asked for never go down.
    std::string_view lineAt(std::size_t index)
    {
        End end = End::None;
        for (; m_index <= index; ++m_index)
            next(m_line, end);
        return m_line;
    }

private:
    std::string_view m_text;
    bool m_withEnds;
    std::size_t m_at = 0;
    std::size_t m_index = 0;
    std::string_view m_line;
};

} // namespace quendral
