#pragma once

#include "carscript/Field.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quendral {

class ByteSink;

// Writes a car script line by line, each line ended by CR LF.
//
// Fields copied through unchanged keep their place in their line: a field
// that follows the previous copied field of the same line directly is
// joined to it again with the comma and blanks that stood between them, and
// the first field of a line keeps its indentation. Where a field's neighbour
// was dropped or replaced, the line breaks there.
class LineWriter
{
public:
    explicit LineWriter(ByteSink& sink);

    // Writes a text as a line of its own.
    void writeLine(std::string_view text);

    // Copies a field of the script through unchanged.
    void copy(const Field& field);

    // Ends the last line and hands everything to the sink. Returns false if
    // any write failed.
    bool finish();

private:
    void endOpenLine();
    void append(std::string_view bytes);
    void flushBuffer();

    ByteSink& m_sink;
    std::string m_buffer;
    bool m_failed = false;

    // The last field copied, while its line is still open.
    std::optional<Field> m_openLine;
};

} // namespace quendral
