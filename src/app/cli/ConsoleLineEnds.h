#pragma once

#include <iosfwd>
#include <streambuf>

namespace quendral::cli {

// Passes text on to another stream buffer with each line ended in CR LF, as
// the Windows console and its programs expect; a line that ends in CR LF
// already is left so. A table or document printed for another program is
// passed on byte for byte, the same on every system: its printer calls
// keepAsWritten first.
class ConsoleLineEnds final : public std::streambuf
{
public:
    explicit ConsoleLineEnds(std::streambuf& target) : m_target(target) {}

    // From here on, what `stream` prints is passed on as it stands, where it
    // prints through a ConsoleLineEnds; otherwise nothing changes.
    static void keepAsWritten(std::ostream& stream);

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize size) override;
    int sync() override;

private:
    std::streambuf& m_target;
    bool m_translating = true;
    char m_last = '\0';
};

} // namespace quendral::cli
