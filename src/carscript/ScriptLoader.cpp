#include "carscript/ScriptLoader.h"

#include "carscript/FieldReader.h"
#include "carscript/RideHeight.h"
#include "carscript/ScriptVocabulary.h"
#include "carscript/WheelLine.h"
#include "controls/EditingControls.h"

namespace quendral {

namespace {

class Loader
{
public:
    Loader(std::string_view script, EditingControls& controls, LoadNotes& notes)
        : m_reader(script), m_controls(controls), m_notes(notes)
    {
    }

    void run();

private:
    void markEngineFamily();
    void readFrontLeftBlock();
    void readRearLeftBlock();
    std::string_view readWheelLine();

    // A read past the end keeps the current field, as the load expects.
    void readNext() { m_reader.next(m_current); }

    FieldReader m_reader;
    EditingControls& m_controls;
    LoadNotes& m_notes;
    Field m_current;
    bool m_frontDriven = false;
};

void Loader::run()
{
    for (CheckBox* check : m_controls.engineChecks())
        check->setValue(0);

    while (!m_reader.atEnd()) {
        readNext();
        markEngineFamily();
        if (wheelMarker(m_current.text) == Wheel::FrontLeft)
            readFrontLeftBlock();
        if (wheelMarker(m_current.text) == Wheel::RearLeft)
            readRearLeftBlock();
    }
}

void Loader::markEngineFamily()
{
    if (const auto family = engineLineFamily(m_current.text))
        m_controls.engineChecks()[static_cast<std::size_t>(familyIndex(*family))]->setValue(1);
}

// The five fields after a wheel marker; the third is the wheel line. A view
// into the script, so a wheel line of any length costs no copy.
std::string_view Loader::readWheelLine()
{
    std::string_view wheelLine;
    for (int k = 1; k <= vocabulary::FieldsAfterWheelMarker; ++k) {
        readNext();
        if (k == vocabulary::WheelLineField)
            wheelLine = m_current.text;
    }
    return wheelLine;
}

void Loader::readFrontLeftBlock()
{
    const std::string_view wheelLine = readWheelLine();
    if (isDrivenWheelLine(wheelLine)) {
        m_frontDriven = true;
        m_controls.frontDrive.setValue(true);
    }
    m_notes.frontPosition = rideHeightPosition(wheelLine);
    m_controls.frontHeight.setValue(*m_notes.frontPosition);

    readNext();
    m_notes.smallestWheel = lastTwoCharacters(m_current.text);
    m_controls.smallestWheel.setText(*m_notes.smallestWheel);

    // The wheel-size run; the end of the data ends it, and with it the load.
    while (isAttachLine(m_current.text)) {
        m_notes.largestWheel = lastTwoCharacters(m_current.text);
        m_controls.largestWheel.setText(*m_notes.largestWheel);
        if (m_reader.atEnd())
            break;
        readNext();
    }
}

void Loader::readRearLeftBlock()
{
    const std::string_view wheelLine = readWheelLine();
    if (isDrivenWheelLine(wheelLine)) {
        if (m_frontDriven)
            m_controls.allDrive.setValue(true);
        else
            m_controls.rearDrive.setValue(true);
    }
    m_notes.rearPosition = rideHeightPosition(wheelLine);
    m_controls.rearHeight.setValue(*m_notes.rearPosition);
}

} // namespace

void loadCarSettings(std::string_view script, EditingControls& controls, LoadNotes* notes)
{
    LoadNotes unused;
    Loader loader(script, controls, notes ? *notes : unused);
    loader.run();
}

} // namespace quendral
