#include "carscript/FieldReader.h"

#include "settings/TextScan.h"

namespace quendral {

bool FieldReader::next(Field& field)
{
    if (atEnd())
        return false;

    const std::size_t size = m_data.size();
    const bool startsLine = !m_fieldAfterComma;
    m_fieldAfterComma = false;

    std::size_t start = m_position;
    while (start < size && isBlank(m_data[start]))
        ++start;

    std::size_t stop = start;
    while (stop < size) {
        const char c = m_data[stop];
        if (c == ',' || c == '\n' || c == '\r')
            break;
        ++stop;
    }

    std::size_t textEnd = stop;
    while (textEnd > start && isBlank(m_data[textEnd - 1]))
        --textEnd;

    // Views made directly rather than with substr(): the positions are in
    // range by construction, and the range checks cost a tenth of the
    // reading time.
    const char* data = m_data.data();
    field.indent = std::string_view(data + m_position, start - m_position);
    field.text = std::string_view(data + start, textEnd - start);
    field.trailing = std::string_view(data + textEnd, stop - textEnd);
    field.number = m_fieldNumber++;
    field.startsLine = startsLine;

    if (stop >= size) {
        field.end = FieldEnd::EndOfData;
        m_position = size;
    } else if (m_data[stop] == ',') {
        field.end = FieldEnd::Comma;
        m_position = stop + 1;
        m_fieldAfterComma = true;
    } else {
        field.end = FieldEnd::LineEnd;
        m_position = stop + 1;
        if (m_data[stop] == '\r' && m_position < size && m_data[m_position] == '\n')
            ++m_position;
    }
    field.delimiter = std::string_view(data + stop, m_position - stop);
    return true;
}

} // namespace quendral
