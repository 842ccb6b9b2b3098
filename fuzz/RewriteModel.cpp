#include "RewriteModel.h"

#include "carscript/FieldReader.h"
#include "carscript/SaveSettings.h"
#include "carscript/ScriptVocabulary.h"

#include <algorithm>

namespace quendral::fuzz {

namespace {

constexpr std::size_t FieldsAfterWheelMarker = 5;

struct Lined
{
    Field field;
    std::size_t line;
};

} // namespace

RewriteExpectation expectRewrite(std::string_view script, const SaveSettings& settings)
{
    std::vector<Lined> fields;
    {
        FieldReader reader(script);
        Field field;
        std::size_t line = 0;
        while (!reader.atEnd() && reader.next(field)) {
            if (field.startsLine && !fields.empty())
                ++line;
            fields.push_back({field, line});
        }
    }
    const std::size_t lineCount = fields.empty() ? 0 : fields.back().line + 1;
    std::vector<bool> lineKept(lineCount, true);
    const std::size_t n = fields.size();
    const auto take = [&](std::size_t i) { lineKept[fields[i].line] = false; };
    const auto text = [&](std::size_t i) { return fields[i].field.text; };
    const bool anyEngine = std::find(settings.engines.begin(), settings.engines.end(), true) != settings.engines.end();

    RewriteExpectation expectation;
    bool cameraDone = false;
    std::size_t i = 0;
    while (i < n) {
        std::size_t current = i;
        if (isCameraLine(text(current))) {
            take(current);
            if (cameraDone) {
                while (fields[current].field.end == FieldEnd::Comma && current + 1 < n)
                    take(++current);
                i = current + 1;
                continue;
            }
            std::size_t j = current + 1;
            while (j < n && !isSteerHelpLine(text(j)))
                take(j++);
            if (j == n) {
                expectation.succeeds = false;
                return expectation;
            }
            cameraDone = true;
            current = j;
        }

        if (isEngineBlockEntry(text(current))) {
            std::size_t j = current + 1;
            while (j < n && !isSlotDamageModeLine(text(j)))
                take(j++);
            if (j == n) {
                expectation.succeeds = false;
                return expectation;
            }
            if (j == current + 1 && fields[j].line == fields[current].line && anyEngine)
                take(current);
            i = j + 1;
            continue;
        }

        if (wheelMarker(text(current))) {
            std::size_t j = current + 1;
            for (std::size_t k = 0; k < FieldsAfterWheelMarker; ++k, ++j) {
                if (j >= n) {
                    expectation.succeeds = false;
                    return expectation;
                }
                take(j);
            }
            while (j < n && isAttachLine(text(j)))
                take(j++);
            if (j < n && isSlotTypeLine(text(j)))
                take(j++);
            // Any other field there is read again as a field of its own.
            i = j;
            continue;
        }
        i = current + 1;
    }

    std::size_t first = 0;
    for (std::size_t line = 0; line < lineCount; ++line) {
        std::size_t last = first;
        while (last + 1 < n && fields[last + 1].line == line)
            ++last;
        if (lineKept[line]) {
            const Field& start = fields[first].field;
            const Field& end = fields[last].field;
            const auto begin = static_cast<std::size_t>(start.indent.data() - script.data());
            const auto stop = static_cast<std::size_t>(end.trailing.data() - script.data()) + end.trailing.size();
            expectation.keptLines.push_back(script.substr(begin, stop - begin));
        }
        first = last + 1;
    }
    return expectation;
}

} // namespace quendral::fuzz
