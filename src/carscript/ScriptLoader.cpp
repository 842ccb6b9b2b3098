#include "carscript/ScriptLoader.h"

#include "carscript/FieldReader.h"
#include "carscript/RideHeight.h"
#include "carscript/ScriptVocabulary.h"
#include "carscript/WheelLine.h"
#include "controls/EditingControls.h"

namespace quendral {

namespace {

constexpr int FieldsAfterWheelMarker = 5;
constexpr int WheelLineField = 3;

class Loader
{
public:
    Loader(std::string_view script, EditingControls& controls) : m_reader(script), m_controls(controls) {}

    void run();

private:
    void markEngineFamily();
    void readFrontLeftBlock();
    void readRearLeftBlock();

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

void Loader::readFrontLeftBlock()
{
    for (int k = 1; k <= FieldsAfterWheelMarker; ++k) {
        readNext();
        if (k != WheelLineField)
            continue;
        if (isDrivenWheelLine(m_current.text)) {
            m_frontDriven = true;
            m_controls.frontDrive.setValue(true);
        }
        m_controls.frontHeight.setValue(rideHeightPosition(m_current.text));
    }

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
    for (int k = 1; k <= FieldsAfterWheelMarker; ++k) {
        readNext();
        if (k != WheelLineField)
            continue;
        if (isDrivenWheelLine(m_current.text)) {
            if (m_frontDriven)
                m_controls.allDrive.setValue(true);
            else
                m_controls.rearDrive.setValue(true);
        }
        m_controls.rearHeight.setValue(rideHeightPosition(m_current.text));
    }
}

} // namespace

void loadCarSettings(std::string_view script, EditingControls& controls)
{
    Loader loader(script, controls);
    loader.run();
}

} // namespace quendral
