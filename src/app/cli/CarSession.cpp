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
    CarSettings settings = m_controls.settings();
    const auto take = [&](auto CarSettings::*setting, Setting which) {
        if (has(changes.changed, which))
            settings.*setting = changes.to.*setting;
    };
    take(&CarSettings::engines, Setting::Engines);
    take(&CarSettings::drive, Setting::Drive);
    take(&CarSettings::front, Setting::Front);
    take(&CarSettings::rear, Setting::Rear);
    take(&CarSettings::smallest, Setting::Smallest);
    take(&CarSettings::largest, Setting::Largest);
    m_controls.show(settings);
    for (const Setting setting : {Setting::Engines, Setting::Drive, Setting::Front, Setting::Rear, Setting::Smallest,
                                  Setting::Largest})
        if (has(changes.changed, setting))
            m_editor.markChanged(setting);
}

} // namespace quendral::cli
