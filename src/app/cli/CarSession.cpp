#include "app/cli/CarSession.h"

#include "editor/SaveExecutor.h"

namespace quendral::cli {

CarSession::CarSession(ToolContext& tool, std::ostream& messages, std::string prefix)
    : m_messages(messages, std::move(prefix)), m_editor(m_messages, tool.fileSystem)
{
}

bool CarSession::loadCar(const std::filesystem::path& car)
{
    m_editor.pickCarFolder(car);
    return m_editor.loadSelectedCar();
}

void CarSession::change(const Changes& changes)
{
    CarSettings settings = m_editor.shown();
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
    m_editor.want(settings, changes.changed);
}

void CarSession::saveWith(SaveExecutor& executor)
{
    executor.add(m_editor.messages(), [this](MessagePresenter& messages) {
        return m_editor.saveJob(EditorSession::SaveScope::ChangedSettings, messages);
    });
}

} // namespace quendral::cli
