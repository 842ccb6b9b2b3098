#pragma once

#include "carscript/Field.h"

#include <cstddef>
#include <string_view>

namespace quendral {

// Reads a car script one field at a time. A field ends at a comma or at the
// end of a line (CR LF, a lone LF or a lone CR); the delimiter is consumed.
// Blanks and tabs around a field are not part of its text. An empty line is
// one empty field, and a comma is always followed by a field, empty when the
// line or the data ends after it. A double quote is an ordinary character.
class FieldReader
{
public:
    explicit FieldReader(std::string_view data) : m_data(data) {}

    // True when no field remains.
    bool atEnd() const { return m_position >= m_data.size() && !m_fieldAfterComma; }

    // Reads the next field. At the end of the data it returns false and
    // leaves the field as it was.
    bool next(Field& field);

    // Bytes consumed so far.
    std::size_t position() const { return m_position; }

private:
    std::string_view m_data;
    std::size_t m_position = 0;
    std::size_t m_fieldNumber = 0;
    bool m_fieldAfterComma = false;
};

} // namespace quendral
