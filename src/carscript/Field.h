#pragma once

#include <cstddef>
#include <string_view>

namespace quendral {

// What ended a field.
enum class FieldEnd { Comma, LineEnd, EndOfData };

// One field of a car script, a view into the script's bytes. Besides its
// text the field keeps the blanks that stood around it, so that a line the
// save leaves alone can be put back together exactly.
struct Field
{
    std::string_view text;      // without the blanks and tabs around it
    std::string_view indent;    // blanks and tabs skipped in front of it
    std::string_view trailing;  // blanks and tabs between the text and its end
    std::string_view delimiter; // the comma or line end that ended it, as it stood
    FieldEnd end = FieldEnd::EndOfData;
    std::size_t number = 0;     // position in the script, counted from 0
    bool startsLine = true;     // the first field of its line
};

} // namespace quendral
