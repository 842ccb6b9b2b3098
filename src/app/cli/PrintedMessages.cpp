#include "app/cli/PrintedMessages.h"

#include "app/cli/Command.h"

#include <ostream>

namespace quendral::cli {

// The control characters of names and paths in a message are escaped as
// `list` writes them (a backslash stays, as Windows paths have them); a CR,
// which parts the lines of the editor's own message boxes, ends a line.
void PrintedMessages::showError(std::string_view caption, std::string_view text)
{
    std::string shown;
    for (const char c : text) {
        if (c == '\r')
            shown += '\n';
        else if (c == '\\')
            shown += c;
        else
            shown += escaped(std::string_view(&c, 1));
    }
    m_stream << m_prefix << caption << ": " << shown << '\n';
}

} // namespace quendral::cli
