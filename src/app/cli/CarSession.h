#pragma once

#include "app/cli/Command.h"
#include "app/cli/PrintedMessages.h"
#include "editor/EditorSession.h"
#include "settings/CarSettings.h"

#include <filesystem>
#include <iosfwd>
#include <string>

namespace quendral {
class SaveExecutor;
}

namespace quendral::cli {

// The settings a command gives a car: those flagged changed; the others
// keep what the car has.
struct Changes
{
    CarSettings to;
    SettingFlags changed{};

    template <typename Value>
    void set(Value CarSettings::*setting, Setting which, Value value)
    {
        to.*setting = std::move(value);
        changed[static_cast<std::size_t>(which)] = true;
    }
};

// A freshly started editor, as each command starts one: a racers folder
// opened in it, or a car picked and loaded. Its messages are printed each
// after `prefix`, a car's name or nothing.
class CarSession
{
public:
    CarSession(ToolContext& tool, std::ostream& messages, std::string prefix);
    explicit CarSession(ToolContext& tool, std::string prefix = {}) : CarSession(tool, tool.err, std::move(prefix)) {}
    CarSession(const CarSession&) = delete;
    CarSession& operator=(const CarSession&) = delete;

    // False, having said why, when the folder cannot be opened.
    bool openFolder(const std::filesystem::path& folder) { return m_editor.openFolder(folder); }
    bool isRacersFolder() const { return m_editor.isRacersFolder(); }
    const std::filesystem::path& folder() const { return m_editor.folder(); }

    void pickCar(const std::filesystem::path& car) { m_editor.pickCarFolder(car); }
    bool loadCar(const std::filesystem::path& car);
    CarSettings settings() const { return m_editor.shown(); }
    // Each setting flagged counts as changed, even where the car has that
    // value already: the save must then write it, or say that it could not.
    void change(const Changes& changes);

    // Adds the save of the car with its changes to those `executor` makes.
    void saveWith(SaveExecutor& executor);

    EditorSession& editor() { return m_editor; }

private:
    PrintedMessages m_messages;
    EditorSession m_editor;
};

} // namespace quendral::cli
