#include "ui/CarEditor.h"

#include "carscript/CarFiles.h"
#include "carscript/FileSystem.h"
#include "carscript/SaveSettings.h"
#include "carscript/ScriptLoader.h"
#include "carscript/ScriptRewriter.h"
#include "carscript/TextNumber.h"
#include "catalogue/FolderListing.h"
#include "catalogue/RacersFolderScan.h"
#include "ui/EditingControls.h"
#include "ui/MessagePresenter.h"

namespace quendral {

namespace {

constexpr int SmallestWheelSize = 14;

std::string quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

} // namespace

CarEditor::CarEditor(EditingControls& controls, MessagePresenter& messages, FileSystem& fileSystem)
    : m_controls(controls), m_messages(messages), m_fileSystem(fileSystem)
{
    m_controls.Dir1.changed.connect([this] { scanRacersFolder(m_controls, m_table); });
}

bool CarEditor::pickDrive(const std::filesystem::path& drive)
{
    std::string error;
    if (!m_controls.Dir1.setPath(drive, error)) {
        m_messages.showError("Quendral location",
                             "The drive " + quoted(drive.string()) + " cannot be read: " + error + ".");
        return false;
    }
    m_controls.Drive1.setDrive(drive);
    return true;
}

bool CarEditor::openFolder(const std::filesystem::path& given)
{
    // A trailing separator would hide the folder's name from the racers test.
    const std::filesystem::path folder = withoutTrailingSeparator(given);
    std::string error;
    if (!m_controls.Dir1.setPath(folder, error)) {
        m_messages.showError("Quendral location",
                             "The folder " + quoted(folder.string()) + " cannot be opened: " + error + ".");
        return false;
    }
    return true;
}

void CarEditor::pickCarFolder(const std::filesystem::path& given)
{
    const std::filesystem::path carFolder = withoutTrailingSeparator(given);
    CarEntry car{fileNameOf(carFolder), carFolder};
    m_controls.lstcars.clear();
    m_controls.lstcars.addItem(car.name);
    m_table.assign({std::move(car)});
    m_controls.lstcars.setListIndex(0);
}

bool CarEditor::loadSelectedCar()
{
    m_controls.clearEngineChecks();
    const CarEntry* car = m_table.entry(m_controls.lstcars.listIndex());
    if (!car)
        return false;

    const std::filesystem::path script = carScriptPath(car->folder);
    std::string data;
    std::string error;
    if (!m_fileSystem.readFile(script, data, error)) {
        m_messages.showError("Read car", "The car script of " + quoted(car->name) + " cannot be read: "
                                             + script.string() + ": " + error + ".");
        return false;
    }
    loadCarSettings(data, m_controls);
    return true;
}

bool CarEditor::save()
{
    int smallest = 0;
    int largest = 0;
    if (!readWheelSizes(smallest, largest))
        return false;

    const CarEntry* car = m_table.entry(m_controls.lstcars.listIndex());
    if (!car) {
        m_messages.showError("Save file", "No car is selected. Pick a car in the list first.");
        return false;
    }

    const std::filesystem::path script = carScriptPath(car->folder);
    const std::filesystem::path backup = backupScriptPath(car->folder);
    std::string data;
    std::string error;
    if (!m_fileSystem.readFile(script, data, error)) {
        reportSaveFailure(*car, "its car script " + script.string() + " cannot be read (" + error + ")");
        return false;
    }
    if (!writeFile(backup, data, error)) {
        reportSaveFailure(*car, "the backup " + backup.string() + " cannot be written (" + error + ")");
        return false;
    }

    std::unique_ptr<ReplacementFile> output = m_fileSystem.createReplacement(script, error);
    if (!output) {
        reportSaveFailure(*car, "the new car script cannot be created beside " + script.string() + " ("
                                    + error + ")");
        return false;
    }
    if (!rewriteScript(data, settingsFromControls(smallest, largest), *output, error)) {
        const std::string fileError = output->errorString();
        reportSaveFailure(*car, fileError.empty() ? error : error + " (" + fileError + ")");
        return false;
    }
    if (!output->flush() || !output->commit()) {
        reportSaveFailure(*car, "the new car script cannot be written (" + output->errorString() + ")");
        return false;
    }
    return true;
}

// The minimum below 14 is corrected to 14 with a message; a maximum below
// the minimum stops the save. Texts that are not numbers stop it too.
bool CarEditor::readWheelSizes(int& smallest, int& largest)
{
    auto minimum = toWholeNumber(m_controls.txtminw.text());
    if (!minimum) {
        m_messages.showError("Min size", "The minimum wheel size " + quoted(m_controls.txtminw.text())
                                             + " is not a whole number between -32768 and 32767.");
        return false;
    }
    if (*minimum < SmallestWheelSize) {
        m_messages.showError("Min size",
                             "Minimum wheelsize is 14 inch!!!! \rThe size has been corrected.");
        m_controls.txtminw.setText(std::to_string(SmallestWheelSize));
        minimum = SmallestWheelSize;
    }

    const auto maximum = toWholeNumber(m_controls.txtmaxw.text());
    if (!maximum) {
        m_messages.showError("Max size", "The maximum wheel size " + quoted(m_controls.txtmaxw.text())
                                             + " is not a whole number between -32768 and 32767.");
        return false;
    }
    if (*maximum < *minimum) {
        m_messages.showError("MIN>MAX", "Min is bigger then max!!!!");
        return false;
    }
    smallest = *minimum;
    largest = *maximum;
    return true;
}

SaveSettings CarEditor::settingsFromControls(int smallest, int largest) const
{
    SaveSettings settings;
    const auto checks = m_controls.engineChecks();
    for (std::size_t i = 0; i < checks.size(); ++i)
        settings.engines[i] = checks[i]->isChecked();

    const bool front = m_controls.Option1.value();
    const bool rear = m_controls.Option2.value();
    const bool all = m_controls.Option3.value();
    settings.frontDriven = front || all;
    settings.rearDriven = rear || all;
    settings.driveChosen = front || rear || all;
    settings.frontPosition = m_controls.Slider1.value();
    settings.rearPosition = m_controls.Slider2.value();
    settings.smallestWheel = smallest;
    settings.largestWheel = largest;
    return settings;
}

bool CarEditor::writeFile(const std::filesystem::path& path, const std::string& data, std::string& error)
{
    std::unique_ptr<ReplacementFile> file = m_fileSystem.createReplacement(path, error);
    if (!file)
        return false;
    if (!file->write(data) || !file->flush() || !file->commit()) {
        error = file->errorString();
        return false;
    }
    return true;
}

void CarEditor::reportSaveFailure(const CarEntry& car, const std::string& reason)
{
    m_messages.showError("Save file", "The car " + quoted(car.name) + " was not saved: " + reason
                                          + ". Its car script is unchanged.");
}

} // namespace quendral
