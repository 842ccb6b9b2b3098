#pragma once

#include "catalogue/CarTable.h"

#include <filesystem>
#include <string>

namespace quendral {

class EditingControls;
class FileSystem;
class MessagePresenter;
struct SaveSettings;

// The operations behind the main window's events, on the editing controls:
// choosing a drive or folder (which scans it), picking a car (which loads
// it) and saving. The window and the command-line tool both drive this.
class CarEditor
{
public:
    CarEditor(EditingControls& controls, MessagePresenter& messages, FileSystem& fileSystem);

    CarEditor(const CarEditor&) = delete;
    CarEditor& operator=(const CarEditor&) = delete;

    // Moves the folder chooser to the drive's folder. A drive that cannot be
    // read is reported and both choosers stay where they were.
    bool pickDrive(const std::filesystem::path& drive);

    // Moves the folder chooser to a folder, which runs the racers folder
    // scan. A folder that cannot be read is reported and nothing changes.
    bool openFolder(const std::filesystem::path& folder);

    // Makes one car folder the whole car list and selects it, as though it
    // had been picked from a racers folder holding only that car.
    void pickCarFolder(const std::filesystem::path& carFolder);

    // Reads the selected car's settings into the controls. Returns false,
    // after telling the user, when its script cannot be read, and false
    // without a message when no car is selected.
    bool loadSelectedCar();

    // Checks the wheel sizes, backs up the selected car's script and writes
    // it anew from the controls. Returns true when the car was saved;
    // otherwise the user has been told why and the car script is unchanged.
    bool save();

    const CarTable& carTable() const { return m_table; }

private:
    bool readWheelSizes(int& smallest, int& largest);
    SaveSettings settingsFromControls(int smallest, int largest) const;
    bool writeFile(const std::filesystem::path& path, const std::string& data, std::string& error);
    void reportSaveFailure(const CarEntry& car, const std::string& reason);

    EditingControls& m_controls;
    MessagePresenter& m_messages;
    FileSystem& m_fileSystem;
    CarTable m_table;
};

} // namespace quendral
