#include "app/cli/CarSession.h"

namespace quendral::cli {

CarSession::CarSession(ToolContext& tool, std::ostream& messages, std::string prefix)
    : m_messages(messages, std::move(prefix)), m_controls(m_messages), m_editor(m_controls, m_messages, tool.fileSystem)
{
}

bool CarSession::loadCar(const std::filesystem::path& car)
{
    m_editor.pickCarFolder(car);
    return m_editor.loadSelectedCar();
}

void CarSession::change(const Changes& changes)
{
    using Setting = CarEditor::Setting;
    if (changes.engines) {
        const auto checks = m_controls.engineChecks();
        for (std::size_t i = 0; i < checks.size(); ++i)
            checks[i]->setValue((*changes.engines)[i] ? 1 : 0);
        m_editor.markChanged(Setting::Engines);
    }
    if (changes.drive) {
        m_controls.driveSystem.setValue(*changes.drive, true);
        m_editor.markChanged(Setting::Drive);
    }
    if (changes.front) {
        m_controls.frontHeight.setValue(*changes.front);
        m_editor.markChanged(Setting::Front);
    }
    if (changes.rear) {
        m_controls.rearHeight.setValue(*changes.rear);
        m_editor.markChanged(Setting::Rear);
    }
    if (changes.minimum) {
        m_controls.smallestWheel.setText(*changes.minimum);
        m_editor.markChanged(Setting::Smallest);
    }
    if (changes.maximum) {
        m_controls.largestWheel.setText(*changes.maximum);
        m_editor.markChanged(Setting::Largest);
    }
}

} // namespace quendral::cli
