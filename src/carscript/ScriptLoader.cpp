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
    Loader(std::string_view script, EditingControls& controls) : m_reader(script), m_controls(controls) {}

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
    m_controls.frontHeight.setValue(rideHeightPosition(wheelLine));

    readNext();
    m_controls.smallestWheel.setText(lastTwoCharacters(m_current.text));

    // The wheel-size run; the end of the data ends it, and with it the load.
    while (isAttachLine(m_current.text)) {
        m_controls.largestWheel.setText(lastTwoCharacters(m_current.text));
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
    m_controls.rearHeight.setValue(rideHeightPosition(wheelLine));
}

} // namespace

void loadCarSettings(std::string_view script, EditingControls& controls)
{
    Loader loader(script, controls);
    loader.run();
}

} // namespace quendral
