#include "app/cli/ConsoleLineEnds.h"

#include <ostream>

namespace quendral::cli {

void ConsoleLineEnds::keepAsWritten(std::ostream& stream)
{
    if (auto* console = dynamic_cast<ConsoleLineEnds*>(stream.rdbuf()))
        console->m_translating = false;
}

ConsoleLineEnds::int_type ConsoleLineEnds::overflow(int_type c)
{
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
}

std::streamsize ConsoleLineEnds::xsputn(const char* text, std::streamsize size)
{
    if (!m_translating)
        return m_target.sputn(text, size);
    // Whole runs up to each bare line feed, so that a long listing costs a
    // few calls per line rather than one per byte.
    std::streamsize start = 0;
    for (std::streamsize at = 0; at < size; ++at) {
        const char before = at == 0 ? m_last : text[at - 1];
        if (text[at] != '\n' || before == '\r')
            continue;
        if (m_target.sputn(text + start, at - start) != at - start || m_target.sputc('\r') == traits_type::eof())
            return start;
        start = at;
    }
    if (m_target.sputn(text + start, size - start) != size - start)
        return start;
    if (size > 0)
        m_last = text[size - 1];
    return size;
}

int ConsoleLineEnds::sync()
{
    return m_target.pubsync();
}

} // namespace quendral::cli
