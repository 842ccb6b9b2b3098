// The field reader on arbitrary bytes: every byte of the script belongs to
// exactly one field or delimiter, so the fields and what ended them give the
// script back byte for byte; and reading takes one step per field.

#include "FuzzCheck.h"
#include "StepCounter.h"

#include "carscript/FieldReader.h"

#include <cstdint>
#include <string>

using quendral::Field;
using quendral::FieldEnd;
using quendral::FieldReader;
using quendral::fuzz::check;

namespace {

bool onlyBlanks(std::string_view text)
{
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view script(reinterpret_cast<const char*>(data), size);
    quendral::fuzz::resetFieldReads();

    FieldReader reader(script);
    Field field;
    std::string rebuilt;
    std::size_t count = 0;
    FieldEnd previousEnd = FieldEnd::LineEnd;
    while (!reader.atEnd()) {
        const std::size_t start = reader.position();
        check(reader.next(field), "a read before the end of the data succeeds");
        check(field.number == count, "fields are numbered in order");
        check(field.startsLine == (previousEnd != FieldEnd::Comma), "a field starts a line unless a comma came before it");
        check(field.indent.data() == script.data() + start, "a field starts where the last one ended");
        check(onlyBlanks(field.indent) && onlyBlanks(field.trailing), "only blanks and tabs surround a field");
        check(field.text.find_first_of(",\r\n") == std::string_view::npos, "a field holds no delimiter");
        check(field.text.empty() || (field.text.front() != ' ' && field.text.front() != '\t'
                                     && field.text.back() != ' ' && field.text.back() != '\t'),
              "a field's text is trimmed");

        rebuilt.append(field.indent).append(field.text).append(field.trailing);
        const std::size_t fieldEnd = static_cast<std::size_t>(field.trailing.data() - script.data())
            + field.trailing.size();
        const std::string_view delimiter = script.substr(fieldEnd, reader.position() - fieldEnd);
        switch (field.end) {
        case FieldEnd::Comma: check(delimiter == ",", "a comma ends a field"); break;
        case FieldEnd::LineEnd:
            check(delimiter == "\r\n" || delimiter == "\n" || delimiter == "\r", "a line end ends a field");
            break;
        case FieldEnd::EndOfData: check(delimiter.empty() && reader.position() == size, "the data ends"); break;
        }
        rebuilt.append(delimiter);
        check(reader.position() > start || field.end == FieldEnd::EndOfData, "a read makes progress");
        previousEnd = field.end;
        ++count;
        check(count <= size + 1, "at most one field per byte, and one after a final comma");
    }

    const Field last = field;
    check(!reader.next(field), "reading past the end fails");
    check(field.text.data() == last.text.data() && field.text.size() == last.text.size(),
          "a failed read leaves the field as it was");
    check(rebuilt == script, "the fields and their delimiters give the script back");
    check(quendral::fuzz::fieldReads() == count + 1, "one step per field and one at the end");
    return 0;
}
