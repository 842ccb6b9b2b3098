#include "carscript/ScriptRewriter.h"

#include "carscript/ByteSink.h"
#include "carscript/FieldReader.h"
#include "carscript/LineWriter.h"
#include "carscript/ScriptVocabulary.h"
#include "carscript/WheelLine.h"
#include "settings/CarSettings.h"

#include <optional>
#include <tuple>

namespace quendral {

namespace {

class Rewriter
{
public:
    Rewriter(std::string_view script, const CarSettings& settings, ByteSink& sink, RewriteNotes& notes)
        : m_reader(script), m_writer(sink), m_settings(settings), m_notes(notes)
    {
    }

    bool run(std::string& error);

private:
    bool rewriteFirstCameraLine(Field& current);
    void rewriteLaterCameraLine(const Field& camera);
    bool rewriteEngineList();
    bool rewriteWheelBlock(Wheel wheel, std::optional<Field>& leftBehind);
    void writeWheelLine(const Field& wheelLine, Wheel wheel);
    bool driven(Axle axle) const;

    FieldReader m_reader;
    LineWriter m_writer;
    const CarSettings& m_settings;
    int m_smallest = 0;
    int m_largest = 0;
    RewriteNotes& m_notes;
    bool m_cameraLineDone = false;
    std::string m_error;
};

bool Rewriter::run(std::string& error)
{
    const auto sizes = m_settings.wheelRange();
    if (!sizes) {
        error = "its wheel sizes make no range (" + m_settings.smallest + " to " + m_settings.largest + ")";
        return false;
    }
    std::tie(m_smallest, m_largest) = *sizes;
    std::optional<Field> pending;
    while (pending || !m_reader.atEnd()) {
        Field current;
        if (pending) {
            current = *pending;
            pending.reset();
        } else {
            m_reader.next(current);
        }

        if (isCameraLine(current.text)) {
            if (m_cameraLineDone) {
                rewriteLaterCameraLine(current);
                continue;
            }
            if (!rewriteFirstCameraLine(current)) {
                error = m_error;
                return false;
            }
        }

        m_writer.copy(current);

        if (isEngineBlockEntry(current.text) && !rewriteEngineList()) {
            error = m_error;
            return false;
        }

        if (const auto wheel = wheelMarker(current.text)) {
            if (!rewriteWheelBlock(*wheel, pending)) {
                error = m_error;
                return false;
            }
            // The old slot type line has been written anew; any other field
            // the block stopped at is a field of its own.
            if (pending && isSlotTypeLine(pending->text))
                pending.reset();
        }
    }

    if (!m_writer.finish()) {
        error = "the new car script could not be written";
        return false;
    }
    return true;
}

// The camera line and everything up to the steering-help line give way to
// the fixed camera line; the steering-help line is then the current field.
bool Rewriter::rewriteFirstCameraLine(Field& current)
{
    Field steerHelp;
    do {
        if (!m_reader.next(steerHelp)) {
            m_error = "the camera line (ext_camera) has no steering-help line (steerhelp) after it";
            return false;
        }
    } while (!isSteerHelpLine(steerHelp.text));

    m_writer.writeLine(vocabulary::FixedCameraLine);
    current = steerHelp;
    m_cameraLineDone = true;
    return true;
}

// A further camera line gives way to the fixed camera line, pieces and all.
void Rewriter::rewriteLaterCameraLine(const Field& camera)
{
    m_writer.writeLine(vocabulary::FixedCameraLine);
    Field piece = camera;
    while (piece.end == FieldEnd::Comma && m_reader.next(piece)) {
    }
}

// The old engine lines, and all else up to the slot damage mode line, give
// way to the engine lines of the chosen families.
bool Rewriter::rewriteEngineList()
{
    Field current;
    do {
        if (!m_reader.next(current)) {
            m_error = "the engine block has no slot damage mode line (slotdmgmode) after it";
            return false;
        }
    } while (!isSlotDamageModeLine(current.text));

    for (const EngineFamily family : EngineFamilies)
        if (m_settings.engines[static_cast<std::size_t>(familyIndex(family))])
            m_writer.writeLine(engineLine(family));
    m_writer.copy(current);
    m_notes.engineBlock = true;
    return true;
}

// The five fields after the marker are copied, the third as the new wheel
// line; the old wheel-size lines give way to the new ones and the slot type
// line. The field after the old wheel-size lines is left behind.
bool Rewriter::rewriteWheelBlock(Wheel wheel, std::optional<Field>& leftBehind)
{
    m_notes.wheelBlock[static_cast<std::size_t>(wheel)] = true;
    Field current;
    for (int k = 1; k <= vocabulary::FieldsAfterWheelMarker; ++k) {
        if (!m_reader.next(current)) {
            m_error = "a wheel block ends before its wheel line and the fields around it";
            return false;
        }
        if (k == vocabulary::WheelLineField)
            writeWheelLine(current, wheel);
        else
            m_writer.copy(current);
    }

    // Counted so that a largest size at the top of int's range cannot overflow.
    for (long long size = m_smallest; size <= m_largest; ++size)
        m_writer.writeLine(wheelSizeLine(static_cast<int>(size)));
    m_writer.writeLine(slotTypeLine(wheel));

    leftBehind.reset();
    while (m_reader.next(current)) {
        if (!isAttachLine(current.text)) {
            leftBehind = current;
            break;
        }
    }
    return true;
}

void Rewriter::writeWheelLine(const Field& wheelLine, Wheel wheel)
{
    if (m_settings.drive != Drive::None) {
        const Axle axle = axleOf(wheel);
        const int position = axle == Axle::Front ? m_settings.front : m_settings.rear;
        if (const auto line = rebuildWheelLine(wheelLine.text, axle, position, driven(axle))) {
            m_writer.writeLine(*line);
            return;
        }
        m_notes.wheelLineTooShort[static_cast<std::size_t>(wheel)] = true;
    }
    m_writer.copy(wheelLine);
}

bool Rewriter::driven(Axle axle) const
{
    return axle == Axle::Front ? m_settings.frontDriven() : m_settings.rearDriven();
}

} // namespace

bool rewriteScript(std::string_view script, const CarSettings& settings, ByteSink& sink,
                   std::string& error, RewriteNotes* notes)
{
    RewriteNotes unused;
    Rewriter rewriter(script, settings, sink, notes ? *notes : unused);
    return rewriter.run(error);
}

} // namespace quendral
