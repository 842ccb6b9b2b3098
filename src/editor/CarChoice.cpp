#include "editor/CarChoice.h"

#include "catalogue/FolderListing.h"
#include "catalogue/RacersFolderScan.h"
#include "controls/EditingControls.h"
#include "controls/MessagePresenter.h"
#include "settings/InQuotes.h"

#include <algorithm>
#include <utility>

namespace quendral {

CarChoice::CarChoice(EditingControls& controls, MessagePresenter& messages, FileSystem& fileSystem)
    : m_controls(controls), m_messages(messages), m_fileSystem(fileSystem),
      m_scan(m_controls.folderChooser.changed.connect([this] { scanRacersFolder(m_controls, m_table); }))
{
}

// A folder that cannot be read leaves the chooser where it was.
bool CarChoice::moveFolderChooser(const std::filesystem::path& folder, std::string& error)
{
    FolderContents contents;
    if (!listFolder(m_fileSystem, folder, contents, error))
        return false;
    m_controls.folderChooser.setFolder(folder, std::move(contents));
    return true;
}

bool CarChoice::pickDrive(const std::filesystem::path& drive)
{
    std::string error;
    if (!moveFolderChooser(drive, error)) {
        m_messages.showError("Quendral location", "The drive " + inQuotes(drive.string()) + " cannot be read: " + error + ".");
        return false;
    }
    m_controls.driveChooser.setDrive(drive);
    return true;
}

bool CarChoice::openFolder(const std::filesystem::path& given)
{
    // A trailing separator would hide the folder's name from the racers test.
    const std::filesystem::path folder = withoutTrailingSeparator(given);
    std::string error;
    if (!moveFolderChooser(folder, error)) {
        m_messages.showError("Quendral location",
                             "The folder " + inQuotes(folder.string()) + " cannot be opened: " + error + ".");
        return false;
    }
    return true;
}

void CarChoice::showStartFolder(
    const std::function<std::filesystem::path(const std::filesystem::path&)>& driveOf,
    const std::function<std::vector<std::filesystem::path>(const std::filesystem::path&)>& drives)
{
    std::error_code ignored;
    const std::filesystem::path folder = std::filesystem::current_path(ignored);
    const std::filesystem::path drive = driveOf(folder);
    m_controls.driveChooser.setDrives(drives(drive));
    m_controls.driveChooser.setDrive(drive);
    m_controls.folderChooser.setInitialPath(folder);
}

bool CarChoice::startIn(const std::filesystem::path& folder)
{
    std::error_code ignored;
    return openFolder(std::filesystem::absolute(folder, ignored).lexically_normal());
}

bool CarChoice::rescan(const std::string& picked, std::optional<int>& found)
{
    found.reset();
    const std::filesystem::path folder = m_controls.folderChooser.path();
    if (folder.empty() || !openFolder(folder))
        return false;
    const auto& items = m_controls.carList.items();
    const auto at = std::find(items.begin(), items.end(), picked);
    if (!picked.empty() && at != items.end())
        found = static_cast<int>(at - items.begin());
    return true;
}

bool CarChoice::isRacersFolder() const
{
    return m_controls.editingFrame.isEnabled();
}

const std::filesystem::path& CarChoice::folder() const
{
    return m_controls.folderChooser.path();
}

void CarChoice::pickCarFolder(const std::filesystem::path& given)
{
    const std::filesystem::path carFolder = withoutTrailingSeparator(given);
    CarEntry car{fileNameOf(carFolder), carFolder};
    m_controls.carList.clear();
    m_controls.carList.addItem(car.name);
    m_table.assign({std::move(car)});
    m_controls.carList.setListIndex(0);
}

const CarEntry* CarChoice::selected() const
{
    return m_table.entry(m_controls.carList.listIndex());
}

const CarEntry* CarChoice::selected(std::string_view caption, MessagePresenter& messages) const
{
    const CarEntry* car = selected();
    if (!car)
        messages.showError(caption, "No car is selected. Pick a car in the list first.");
    return car;
}

} // namespace quendral
