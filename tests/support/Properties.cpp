#include "Properties.h"

#include "Support.h"

#include "carscript/ByteSink.h"
#include "carscript/FieldReader.h"
#include "carscript/ScriptRewriter.h"
#include "carscript/SettingsReader.h"
#include "carscript/ScriptVocabulary.h"
#include "controls/EditingControls.h"

#include <algorithm>

namespace quendral::test {

namespace {

void check(bool holds, const char* property)
{
    if (!holds)
        throw PropertyViolated(property);
}

// The lines a save must keep as they stood, worked out field by field from
// the rules of the rewrite rather than by running it. The save takes over
// the camera line and every field up to the next steering-help line, the
// comma pieces of a later camera line, the fields between an engine block
// entry and its slot damage mode line, the five fields after a wheel marker
// with the "attach" run and the slot type line after them; a line holding
// an engine block entry directly followed by its slot damage mode line is
// split by the new engine lines. Any other line, none of whose fields is
// taken over, stands in the new script. Fails (nullopt) exactly when the
// script ends inside one of those parts.
std::optional<std::vector<std::string_view>> keptLines(std::string_view script, const CarSettings& settings)
{
    std::vector<Field> fields;
    std::vector<std::size_t> lineOf;
    FieldReader reader(script);
    for (Field field; !reader.atEnd() && reader.next(field);) {
        lineOf.push_back(lineOf.empty() ? 0 : lineOf.back() + field.startsLine);
        fields.push_back(field);
    }
    const std::size_t n = fields.size();
    std::vector<bool> lineKept(n ? lineOf.back() + 1 : 0, true);
    const auto take = [&](std::size_t i) { lineKept[lineOf[i]] = false; };
    const auto text = [&](std::size_t i) { return fields[i].text; };
    const bool anyEngine = std::find(settings.engines.begin(), settings.engines.end(), true) != settings.engines.end();

    bool cameraDone = false;
    for (std::size_t i = 0; i < n;) {
        std::size_t current = i;
        if (isCameraLine(text(current))) {
            take(current);
            if (cameraDone) {
                while (fields[current].end == FieldEnd::Comma && current + 1 < n)
                    take(++current);
                i = current + 1;
                continue;
            }
            std::size_t j = current + 1;
            while (j < n && !isSteerHelpLine(text(j)))
                take(j++);
            if (j == n)
                return std::nullopt;
            cameraDone = true;
            current = j;
        }
        if (isEngineBlockEntry(text(current))) {
            std::size_t j = current + 1;
            while (j < n && !isSlotDamageModeLine(text(j)))
                take(j++);
            if (j == n)
                return std::nullopt;
            if (j == current + 1 && lineOf[j] == lineOf[current] && anyEngine)
                take(current);
            i = j + 1;
        } else if (wheelMarker(text(current))) {
            std::size_t j = current + 1;
            for (int k = 0; k < vocabulary::FieldsAfterWheelMarker; ++k, ++j) {
                if (j >= n)
                    return std::nullopt;
                take(j);
            }
            while (j < n && isAttachLine(text(j)))
                take(j++);
            if (j < n && isSlotTypeLine(text(j)))
                take(j++);
            i = j;  // any other field there is read again as a field of its own
        } else {
            i = current + 1;
        }
    }
    std::vector<std::string_view> kept;
    for (std::size_t first = 0, last; first < n; first = last + 1) {
        for (last = first; last + 1 < n && lineOf[last + 1] == lineOf[first];)
            ++last;
        if (lineKept[lineOf[first]]) {
            const auto begin = static_cast<std::size_t>(fields[first].indent.data() - script.data());
            const auto end = static_cast<std::size_t>(fields[last].trailing.data() - script.data())
                             + fields[last].trailing.size();
            kept.push_back(script.substr(begin, end - begin));
        }
    }
    return kept;
}

bool blanks(std::string_view text)
{
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

class RefusingSink final : public ByteSink
{
public:
    bool write(std::string_view) override { return false; }
};

// What the controls show, line by line: engines, drive, front, rear, min, max.
bool rewrite(std::string_view script, const CarSettings& settings, StringSink& sink)
{
    std::string error;
    resetFieldReads();
    const bool done = rewriteScript(script, settings, sink, error);
    check(done || !error.empty(), "a failed rewrite says why");
    check(fieldReads() <= script.size() + 2, "the rewrite reads in linear steps");
    // A wheel marker of a dozen bytes brings a wheel line, up to eight
    // wheel-size lines and a slot type line.
    check(sink.data.size() <= 32 * script.size() + 1024, "the rewrite writes in linear steps");
    if (done && !sink.data.empty()) {
        RefusingSink refusing;
        check(!rewriteScript(script, settings, refusing, error), "a refused write fails the rewrite");
    }
    return done;
}

} // namespace

void checkFieldReader(std::string_view script)
{
    resetFieldReads();
    FieldReader reader(script);
    Field field;
    std::string rebuilt;
    std::size_t count = 0;
    bool afterComma = false;
    while (!reader.atEnd()) {
        const std::size_t start = reader.position();
        check(reader.next(field), "a read before the end of the data succeeds");
        check(field.number == count && field.startsLine == !afterComma, "fields are numbered, lines start after line ends");
        check(field.indent.data() == script.data() + start, "a field starts where the last one ended");
        check(blanks(field.indent) && blanks(field.trailing), "only blanks and tabs surround a field");
        check(field.text.find_first_of(",\r\n") == std::string_view::npos, "a field holds no delimiter");
        check(field.text.empty() || (!blanks(field.text.substr(0, 1)) && !blanks(field.text.substr(field.text.size() - 1))),
              "a field's text is trimmed");
        rebuilt.append(field.indent).append(field.text).append(field.trailing);
        const auto end = static_cast<std::size_t>(field.trailing.data() - script.data()) + field.trailing.size();
        const std::string_view delimiter = script.substr(end, reader.position() - end);
        check(field.delimiter == delimiter, "the delimiter is what ended the field");
        check(field.end == FieldEnd::Comma ? delimiter == ","
              : field.end == FieldEnd::LineEnd ? delimiter == "\r\n" || delimiter == "\n" || delimiter == "\r"
                                               : delimiter.empty() && reader.position() == script.size(),
              "a comma, a line end or the end of the data ends a field");
        rebuilt.append(delimiter);
        afterComma = field.end == FieldEnd::Comma;
        check(++count <= script.size() + 1, "at most one field per byte, and one after a final comma");
    }
    const Field last = field;
    check(!reader.next(field) && field.text.data() == last.text.data(), "a read past the end fails, keeping the field");
    check(rebuilt == script, "the fields and their delimiters give the script back");
    check(fieldReads() == count + 1, "one step per field and one at the end");
}

void checkLoad(std::string_view script)
{
    resetFieldReads();
    const ScriptSettings read = readScriptSettings(script);
    check(fieldReads() <= script.size() + 16, "the load reads in linear steps");  // a few past the end per block
    const CarSettings fresh = read.over({});
    check(!aboveLargestWheelSize(fresh.largest) && fresh.smallest.size() <= 2 && fresh.largest.size() <= 2,
          "wheel sizes are two characters, the largest never above 21");
    // Over a previous car the engines come out the same, and every other
    // setting is the script's or the previous one, held to its range.
    const CarSettings previous{{true, true, true, true}, Drive::Rear, 17, 23, "15", "19"};
    const CarSettings after = read.over(previous);
    check(after.engines == fresh.engines, "the engines depend on the script alone");
    check((after.drive == fresh.drive || after.drive == previous.drive) && (after.front == fresh.front || after.front == 17)
              && (after.rear == fresh.rear || after.rear == 23) && (after.smallest == fresh.smallest || after.smallest == "15")
              && (after.largest == fresh.largest || after.largest == "19") && fresh.front >= RideHeightMinimum
              && fresh.front <= RideHeightMaximum && fresh.rear >= RideHeightMinimum && fresh.rear <= RideHeightMaximum,
          "a setting is the script's or the one shown before");
    // The controls show the same, and tell each size above 21.
    RecordingMessages messages;
    EditingControls controls(messages);
    controls.show(previous);
    controls.show(read);
    check(controls.settings() == after, "the controls show what the script gives over what they showed");
    check(messages.shown.size() == static_cast<std::size_t>(read.largestAboveLimit), "each size above 21 is told");
    check(readScriptSettings(script).over(previous) == after, "the load is repeatable");
}

std::optional<std::string> checkRewrite(std::string_view script, const CarSettings& settings)
{
    const auto expected = keptLines(script, settings);
    StringSink sink;
    const bool done = rewrite(script, settings, sink);
    check(done == expected.has_value(), "the rewrite fails exactly when the script ends inside a part");
    if (!done)
        return std::nullopt;
    std::vector<std::string_view> written;
    for (std::string_view rest = sink.data; !rest.empty();) {
        const std::size_t end = rest.find("\r\n");
        check(end != std::string_view::npos, "every line the save writes ends in CR LF");
        written.push_back(rest.substr(0, end));
        rest.remove_prefix(end + 2);
    }
    auto at = written.begin();
    for (const std::string_view line : *expected) {
        at = std::find(at, written.end(), line);
        check(at != written.end(), "every line the save does not take over stands unchanged and in order");
        ++at;
    }
    StringSink again;
    check(rewrite(sink.data, settings, again) && again.data == sink.data, "a second save changes nothing");
    return std::move(sink.data);
}

void checkRoundTrip(std::string_view wellFormedScript, const CarSettings& settings)
{
    const std::optional<std::string> saved = checkRewrite(wellFormedScript, settings);
    check(saved.has_value(), "a well-formed script is saved");
    const CarSettings back = readScriptSettings(*saved).settings;
    const auto [smallest, largest] = *settings.wheelRange();
    check(back.engines == settings.engines, "the engines load back");
    check(back.smallest == std::to_string(smallest) && back.largest == std::to_string(largest), "the wheel sizes load back");
    if (settings.drive == Drive::None)
        return;  // the wheel lines were kept as they stood
    check(back.drive == settings.drive, "the drive loads back");
    check(back.front == settings.front && back.rear == settings.rear, "the ride heights load back");
}

std::vector<std::string> plainLines(std::string_view script)
{
    std::vector<std::string> lines;
    std::string line;
    bool plain = true;
    FieldReader reader(script);
    for (Field field; !reader.atEnd() && reader.next(field);) {
        const std::string_view text = field.text;
        plain = plain && !isCameraLine(text) && !isSteerHelpLine(text) && !isEngineBlockEntry(text)
                && !isSlotDamageModeLine(text) && !isAttachLine(text) && !isSlotTypeLine(text)
                && !engineLineFamily(text) && !wheelMarker(text);
        line.append(field.indent).append(field.text).append(field.trailing);
        if (field.end == FieldEnd::Comma) {
            line += ',';
            continue;
        }
        if (plain)
            lines.push_back(line);
        line.clear();
        plain = true;
    }
    return lines;
}

} // namespace quendral::test
