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
//
// Bytes copied through are not copied one piece at a time: as long as they
// follow each other in the script (and its lines end in CR LF already) they
// are held as one run of the script and handed on in one go. Most of a
// script is such a run, and copying it piece by piece was most of the cost
// of a save.
class LineWriter
{
public:
    explicit LineWriter(ByteSink& sink);

    // Writes a text as a line of its own. The text is copied at once.
    void writeLine(std::string_view text);

    // Copies a field of the script through unchanged. The script's bytes
    // must stay in place until finish(): they may be read only then.
    void copy(const Field& field);

    // Ends the last line and hands everything to the sink. Returns false if
    // any write failed.
    bool finish();

private:
    void endOpenLine();
    // Bytes of the script being copied through, which may join the run.
    void appendFromScript(std::string_view bytes);
    // Bytes from anywhere else, copied at once.
    void append(std::string_view bytes);
    void flushRun();
    void flushBuffer();

    ByteSink& m_sink;
    std::string m_buffer;
    bool m_failed = false;

    // Bytes of the script, one after the other in it, written but not yet
    // copied out.
    std::string_view m_run;

    // The last field copied, while its line is still open.
    std::optional<Field> m_openLine;
};

} // namespace quendral
