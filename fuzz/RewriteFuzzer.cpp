// The in-memory rewrite on arbitrary script bytes with any settings the
// editor can save. The last bytes of the input choose the settings; the
// rest is the script.
//
// Properties: the rewrite takes reads and writes linear in the script; it
// fails exactly when the script ends inside a part that must be complete;
// when it succeeds, every line it does not take over stands in the output
// unchanged and in order (see RewriteModel.h), and rewriting the output
// again with the same settings gives the same bytes. Then the plain lines
// of the script are spread around a well-formed car script, and loading
// what the save wrote must give back exactly the settings it was given.

#include "FuzzCheck.h"
#include "RewriteModel.h"
#include "StepCounter.h"

#include "carscript/ByteSink.h"
#include "carscript/FieldReader.h"
#include "carscript/SaveSettings.h"
#include "carscript/ScriptLoader.h"
#include "carscript/ScriptRewriter.h"
#include "carscript/ScriptVocabulary.h"
#include "controls/EditingControls.h"
#include "controls/MessagePresenter.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using namespace quendral;
using quendral::fuzz::check;

namespace {

constexpr std::size_t SettingsBytes = 6;

enum class Drive { None, Front, Rear, All };

struct Choice
{
    SaveSettings settings;
    Drive drive = Drive::None;
    std::uint8_t layout = 0;
};

// Settings as the controls can hold them when a save passes validation:
// positions 0 to 30, wheel sizes from 14 up to at most 21.
Choice choose(const std::uint8_t* bytes)
{
    Choice choice;
    for (std::size_t i = 0; i < 4; ++i)
        choice.settings.engines[i] = (bytes[0] >> i) & 1;
    choice.drive = static_cast<Drive>((bytes[0] >> 4) & 3);
    choice.settings.frontDriven = choice.drive == Drive::Front || choice.drive == Drive::All;
    choice.settings.rearDriven = choice.drive == Drive::Rear || choice.drive == Drive::All;
    choice.settings.driveChosen = choice.drive != Drive::None;
    choice.settings.frontPosition = bytes[1] % 31;
    choice.settings.rearPosition = bytes[2] % 31;
    choice.settings.smallestWheel = 14 + bytes[3] % 8;
    choice.settings.largestWheel = choice.settings.smallestWheel + bytes[4] % (22 - choice.settings.smallestWheel);
    choice.layout = bytes[5];
    return choice;
}

class NoMessages final : public MessagePresenter
{
public:
    void showError(std::string_view, std::string_view) override {}
};

// Counts what reaches the file, as a save's file would.
class CountingSink final : public ByteSink
{
public:
    bool write(std::string_view bytes) override
    {
        data.append(bytes);
        ++writes;
        return true;
    }
    std::string data;
    std::size_t writes = 0;
};

std::vector<std::string_view> linesOf(std::string_view output)
{
    std::vector<std::string_view> lines;
    while (!output.empty()) {
        const std::size_t end = output.find("\r\n");
        check(end != std::string_view::npos, "every line the save writes ends in CR LF");
        lines.push_back(output.substr(0, end));
        output.remove_prefix(end + 2);
    }
    return lines;
}

bool rewrite(std::string_view script, const SaveSettings& settings, CountingSink& sink)
{
    std::string error;
    fuzz::resetFieldReads();
    const bool done = rewriteScript(script, settings, sink, error);
    check(done || !error.empty(), "a failed rewrite says why");
    // One read per field (a field per byte at most, one more after a final
    // comma) and one that finds the end.
    check(fuzz::fieldReads() <= script.size() + 2, "the rewrite reads in linear steps");
    // The most a field can grow: a wheel marker of a dozen bytes brings a
    // wheel line and up to eight wheel-size lines and a slot type line.
    check(sink.data.size() <= 32 * script.size() + 1024, "the rewrite writes in linear steps");
    return done;
}

// Returns the new script when the rewrite succeeds.
std::optional<std::string> checkRewrite(std::string_view script, const SaveSettings& settings)
{
    const fuzz::RewriteExpectation expected = fuzz::expectRewrite(script, settings);
    CountingSink sink;
    const bool done = rewrite(script, settings, sink);
    check(done == expected.succeeds, "the rewrite fails exactly when the script ends inside a skip");
    if (!done)
        return std::nullopt;

    const std::vector<std::string_view> written = linesOf(sink.data);
    std::size_t at = 0;
    for (const std::string_view line : expected.keptLines) {
        while (at < written.size() && written[at] != line)
            ++at;
        check(at < written.size(), "every line the save does not take over stands unchanged and in order");
        ++at;
    }

    CountingSink again;
    check(rewrite(sink.data, settings, again), "the new script can be saved again");
    check(again.data == sink.data, "saving the new script again with the same settings changes nothing");
    return std::move(sink.data);
}

bool isPlainLine(const std::vector<Field>& fields)
{
    for (const Field& field : fields) {
        const std::string_view text = field.text;
        if (isCameraLine(text) || isSteerHelpLine(text) || isEngineBlockEntry(text) || isSlotDamageModeLine(text)
            || isAttachLine(text) || isSlotTypeLine(text) || engineLineFamily(text) || wheelMarker(text))
            return false;
    }
    return true;
}

// The lines of the script that hold nothing the editor recognises.
std::vector<std::string> plainLines(std::string_view script)
{
    std::vector<std::string> lines;
    FieldReader reader(script);
    std::vector<Field> line;
    std::string text;
    Field field;
    const auto finishLine = [&] {
        if (!line.empty() && isPlainLine(line))
            lines.push_back(text);
        line.clear();
        text.clear();
    };
    while (!reader.atEnd() && reader.next(field)) {
        if (field.startsLine)
            finishLine();
        line.push_back(field);
        text.append(field.indent).append(field.text).append(field.trailing);
        if (field.end == FieldEnd::Comma)
            text += ',';
    }
    finishLine();
    return lines;
}

std::string oldWheelLine(std::uint8_t seed, bool front)
{
    const std::string height = front ? "-0." + std::to_string(300 + 20 * (seed % 31))
                                     : "-0." + std::to_string(30 + 2 * (seed % 31));
    const std::string flags = front ? (seed & 1 ? "1.000 1.000 1.000 0.000" : "1.000 0.000 1.000 0.000")
                                    : (seed & 2 ? "0.000 1.000 1.000 1.000" : "0.000 0.000 1.000 1.000");
    return "suspension    " + height + " 0.120 0.080 0.250 2.1000 " + flags;
}

// A car script a modder could have written: the plain lines spread around
// the camera line, the engine block and the four wheel blocks, whose old
// values come from `layout`. The front-left block comes before the
// rear-left one; the other two stand where `layout` puts them.
std::string wellFormedScript(const std::vector<std::string>& filler, std::uint8_t layout)
{
    std::vector<std::vector<std::string>> parts;
    parts.push_back({"ext_camera  95 0,1.6,0 0.0,0.9,-2.4    0,0.0,0.0   4", "steerhelp   0.35"});
    std::vector<std::string> engine = {"attach    0x00040010 1    ; engine_block"};
    for (const EngineFamily family : EngineFamilies)
        if ((layout >> familyIndex(family)) & 1)
            engine.emplace_back(engineLine(family));
    engine.emplace_back("slotdmgmode 1");
    parts.push_back(engine);

    const auto block = [&](Wheel wheel, const char* marker) {
        const int oldSmallest = 14 + layout % 4;
        std::vector<std::string> lines = {marker, "attach      0x00040200 1 ; hub", "radius      0.330",
                                          oldWheelLine(layout, axleOf(wheel) == Axle::Front), "brake       0.90",
                                          "grip        1.05"};
        for (int size = oldSmallest; size <= oldSmallest + layout % 5; ++size)
            lines.push_back(wheelSizeLine(size));
        lines.emplace_back(slotTypeLine(wheel));
        return lines;
    };
    std::vector<std::vector<std::string>> wheels = {block(Wheel::FrontLeft, "# FL wheel #"),
                                                    block(Wheel::RearLeft, "# RL wheel #")};
    wheels.insert(wheels.begin() + (layout >> 4) % 3, block(Wheel::FrontRight, "# FR wheel #"));
    wheels.insert(wheels.begin() + (layout >> 6) % 4, block(Wheel::RearRight, "# RR wheel #"));
    parts.insert(parts.end(), wheels.begin(), wheels.end());

    std::string script;
    std::size_t next = 0;
    const std::size_t perGap = filler.size() / (parts.size() + 1) + 1;
    const auto addFiller = [&] {
        for (std::size_t i = 0; i < perGap && next < filler.size(); ++i)
            script += filler[next++] + "\r\n";
    };
    for (const auto& part : parts) {
        addFiller();
        for (const std::string& line : part)
            script += line + "\r\n";
    }
    while (next < filler.size())
        script += filler[next++] + "\r\n";
    return script;
}

void checkRoundTrip(std::string_view fuzzedScript, const Choice& choice)
{
    const std::string script = wellFormedScript(plainLines(fuzzedScript), choice.layout);
    const std::optional<std::string> saved = checkRewrite(script, choice.settings);
    check(saved.has_value(), "a well-formed script is saved");
    NoMessages messages;
    EditingControls controls(messages);
    loadCarSettings(*saved, controls);

    const SaveSettings& written = choice.settings;
    for (std::size_t i = 0; i < written.engines.size(); ++i)
        check(controls.engineChecks()[i]->isChecked() == written.engines[i], "the engines load back");
    check(controls.smallestWheel.text() == std::to_string(written.smallestWheel), "the smallest size loads back");
    check(controls.largestWheel.text() == std::to_string(written.largestWheel), "the largest size loads back");
    if (choice.drive == Drive::None)
        return;  // the wheel lines were kept as they stood
    const int drive = choice.drive == Drive::Front ? 0 : choice.drive == Drive::Rear ? 1 : 2;
    check(controls.driveSystem.selected() == drive, "the drive loads back");
    check(controls.frontHeight.value() == written.frontPosition, "the front ride height loads back");
    check(controls.rearHeight.value() == written.rearPosition, "the rear ride height loads back");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < SettingsBytes)
        return 0;
    const Choice choice = choose(data + size - SettingsBytes);
    const std::string_view script(reinterpret_cast<const char*>(data), size - SettingsBytes);
    checkRewrite(script, choice.settings);
    checkRoundTrip(script, choice);
    return 0;
}
