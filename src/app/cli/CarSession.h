#pragma once

#include "app/cli/Command.h"
#include "controls/EditingControls.h"
#include "editor/CarEditor.h"

#include <array>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

namespace quendral::cli {

// The settings a command changes; those not given keep what the car has.
struct Changes
{
    std::optional<std::array<bool, 4>> engines;
    std::optional<int> drive;  // option button index
    std::optional<int> front;
    std::optional<int> rear;
    std::optional<std::string> minimum;
    std::optional<std::string> maximum;
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
    bool isRacersFolder() const { return m_controls.editingFrame.isEnabled(); }
    const std::filesystem::path& folder() const { return m_controls.folderChooser.path(); }

    void pickCar(const std::filesystem::path& car) { m_editor.pickCarFolder(car); }
    bool loadCar(const std::filesystem::path& car);
    // Each setting given counts as changed, even where the car has that
    // value already: the save must then write it, or say that it could not.
    void change(const Changes& changes);

    const EditingControls& controls() const { return m_controls; }
    CarEditor& editor() { return m_editor; }

private:
    PrintedMessages m_messages;
    EditingControls m_controls;
    CarEditor m_editor;
};

} // namespace quendral::cli
