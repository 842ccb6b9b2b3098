#include "controls/EditingControls.h"

#include "controls/MessagePresenter.h"
#include "settings/InQuotes.h"
#include "settings/TextNumber.h"

namespace quendral {

namespace {

void tellLargestWheelSize(MessagePresenter& messages)
{
    messages.showError("Max size", "Maximal wheelsize is 21 inch!!!!");
}

} // namespace

EditingControls::EditingControls(MessagePresenter& messages)
    : m_messages(messages), m_wheelCheck(largestWheel.changed.connect([this] { checkMaximumWheelSize(); }))
{
}

void EditingControls::clearEngineChecks()
{
    for (CheckBox* check : engineChecks())
        check->setValue(0);
}

CarSettings EditingControls::settings() const
{
    CarSettings settings;
    const auto checks = engineChecks();
    for (std::size_t i = 0; i < checks.size(); ++i)
        settings.engines[i] = checks[i]->isChecked();
    // The buttons run Front, Rear, All from 0, and none is -1.
    settings.drive = static_cast<Drive>(driveSystem.selected() + 1);
    settings.front = frontHeight.value();
    settings.rear = rearHeight.value();
    settings.smallest = smallestWheel.text();
    settings.largest = largestWheel.text();
    return settings;
}

void EditingControls::show(const CarSettings& settings)
{
    const auto checks = engineChecks();
    for (std::size_t i = 0; i < checks.size(); ++i)
        checks[i]->setValue(settings.engines[i] ? 1 : 0);
    if (settings.drive != Drive::None)
        driveSystem.setValue(static_cast<int>(settings.drive) - 1, true);
    else if (driveSystem.selected() != OptionGroup::None)
        driveSystem.setValue(driveSystem.selected(), false);
    frontHeight.setValue(settings.front);
    rearHeight.setValue(settings.rear);
    smallestWheel.setText(settings.smallest);
    largestWheel.setText(settings.largest);
}

void EditingControls::show(const ScriptSettings& script)
{
    // The script's sizes above 21 are told here; what is shown is 21 already.
    for (int i = 0; i < script.largestAboveLimit; ++i)
        tellLargestWheelSize(m_messages);
    show(script.over(settings()));
}

// Runs on every change of the largest wheel size, typed or stored by the
// load. Text that is not a number passes silently: it is caught on saving.
void EditingControls::checkMaximumWheelSize()
{
    if (!aboveLargestWheelSize(largestWheel.text()))
        return;
    tellLargestWheelSize(m_messages);
    largestWheel.setText(std::to_string(LargestWheelSize));
}

bool EditingControls::checkWheelSizes(MessagePresenter& messages)
{
    auto minimum = toWholeNumber(smallestWheel.text());
    if (!minimum) {
        messages.showError("Min size", "The minimum wheel size " + inQuotes(smallestWheel.text())
                                           + " is not a whole number between -32768 and 32767.");
        return false;
    }
    if (*minimum < SmallestWheelSize) {
        messages.showError("Min size", "Minimum wheelsize is 14 inch!!!! \rThe size has been corrected.");
        smallestWheel.setText(std::to_string(SmallestWheelSize));
        minimum = SmallestWheelSize;
    }
    const auto maximum = toWholeNumber(largestWheel.text());
    if (!maximum) {
        messages.showError("Max size", "The maximum wheel size " + inQuotes(largestWheel.text())
                                           + " is not a whole number between -32768 and 32767.");
        return false;
    }
    if (*maximum < *minimum) {
        messages.showError("MIN>MAX", "Min is bigger then max!!!!");
        return false;
    }
    return true;
}

} // namespace quendral
