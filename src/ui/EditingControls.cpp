#include "ui/EditingControls.h"

#include "carscript/TextNumber.h"
#include "ui/MessagePresenter.h"

namespace quendral {

EditingControls::EditingControls(MessagePresenter& messages) : m_messages(messages)
{
    txtmaxw.changed.connect([this] { checkMaximumWheelSize(); });
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
    const TextNumber size = TextNumber::parse(txtmaxw.text());
    const bool tooLarge = size.kind == TextNumber::Kind::AboveRange
        || (size.kind == TextNumber::Kind::Number && size.value > LargestWheelSize);
    if (!tooLarge)
        return;
    m_messages.showError("Max size", "Maximal wheelsize is 21 inch!!!!");
    txtmaxw.setText(std::to_string(LargestWheelSize));
}

} // namespace quendral
