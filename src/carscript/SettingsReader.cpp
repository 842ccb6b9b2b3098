#include "carscript/SettingsReader.h"

#include "carscript/FieldReader.h"
#include "carscript/RideHeight.h"
#include "carscript/ScriptVocabulary.h"
#include "carscript/WheelLine.h"

namespace quendral {

namespace {

class Reader
{
public:
    explicit Reader(std::string_view script) : m_reader(script) {}

    ScriptSettings run();

private:
    void markEngineFamily();
    void readFrontLeftBlock();
    void readRearLeftBlock();
    std::string_view readWheelLine();
    void setDrive(Drive drive);

    // A read past the end keeps the current field, as the load expects.
    void readNext() { m_reader.next(m_current); }

    FieldReader m_reader;
    ScriptSettings m_read;
    Field m_current;
    bool m_frontDriven = false;
};

ScriptSettings Reader::run()
{
    m_read.given[static_cast<std::size_t>(Setting::Engines)] = true;
    while (!m_reader.atEnd()) {
        readNext();
        markEngineFamily();
        if (wheelMarker(m_current.text) == Wheel::FrontLeft)
            readFrontLeftBlock();
        if (wheelMarker(m_current.text) == Wheel::RearLeft)
            readRearLeftBlock();
    }
    return m_read;
}

void Reader::markEngineFamily()
{
    if (const auto family = engineLineFamily(m_current.text))
        m_read.settings.engines[static_cast<std::size_t>(familyIndex(*family))] = true;
}

// The five fields after a wheel marker; the third is the wheel line. A view
// into the script, so a wheel line of any length costs no copy.
std::string_view Reader::readWheelLine()
{
    std::string_view wheelLine;
    for (int k = 1; k <= vocabulary::FieldsAfterWheelMarker; ++k) {
        readNext();
        if (k == vocabulary::WheelLineField)
            wheelLine = m_current.text;
    }
    return wheelLine;
}

void Reader::setDrive(Drive drive)
{
    m_read.settings.drive = drive;
    m_read.driveNamed = true;
}

void Reader::readFrontLeftBlock()
{
    CarSettings& settings = m_read.settings;
    SettingFlags& given = m_read.given;
    const std::string_view wheelLine = readWheelLine();
    if (isDrivenWheelLine(wheelLine)) {
        m_frontDriven = true;
        setDrive(Drive::Front);
    }
    settings.front = rideHeightPosition(wheelLine);
    given[static_cast<std::size_t>(Setting::Front)] = given[static_cast<std::size_t>(Setting::Drive)] = true;

    readNext();
    settings.smallest = lastTwoCharacters(m_current.text);
    given[static_cast<std::size_t>(Setting::Smallest)] = true;

    // The wheel-size run; the end of the data ends it, and with it the load.
    while (isAttachLine(m_current.text)) {
        settings.largest = lastTwoCharacters(m_current.text);
        given[static_cast<std::size_t>(Setting::Largest)] = true;
        if (aboveLargestWheelSize(settings.largest))
            ++m_read.largestAboveLimit;
        if (m_reader.atEnd())
            break;
        readNext();
    }
}

void Reader::readRearLeftBlock()
{
    const std::string_view wheelLine = readWheelLine();
    if (isDrivenWheelLine(wheelLine))
        setDrive(m_frontDriven ? Drive::All : Drive::Rear);
    m_read.settings.rear = rideHeightPosition(wheelLine);
    m_read.given[static_cast<std::size_t>(Setting::Rear)] = m_read.given[static_cast<std::size_t>(Setting::Drive)] = true;
}

} // namespace

ScriptSettings readScriptSettings(std::string_view script)
{
    return Reader(script).run();
}

} // namespace quendral
