#include "controls/EditingControls.h"

#include "controls/TextNumber.h"
#include "controls/MessagePresenter.h"

namespace quendral {

EditingControls::EditingControls(MessagePresenter& messages) : m_messages(messages)
{
    largestWheel.changed.connect([this] { checkMaximumWheelSize(); });
}

void EditingControls::clearEngineChecks()
{
    for (CheckBox* check : engineChecks())
        check->setValue(0);
}

// Runs on every change of the largest wheel size, typed or stored by the
// load. Text that is not a number passes silently: it is caught on saving.
void EditingControls::checkMaximumWheelSize()
{
    const TextNumber size = TextNumber::parse(largestWheel.text());
    const bool tooLarge = size.kind == TextNumber::Kind::AboveRange
        || (size.kind == TextNumber::Kind::Number && size.value > LargestWheelSize);
    if (!tooLarge)
        return;
    m_messages.showError("Max size", "Maximal wheelsize is 21 inch!!!!");
    largestWheel.setText(std::to_string(LargestWheelSize));
}

} // namespace quendral
