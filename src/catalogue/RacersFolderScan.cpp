#include "catalogue/RacersFolderScan.h"

#include "catalogue/FolderListing.h"
#include "ui/EditingControls.h"

#include <unordered_map>

namespace quendral {

namespace {

constexpr std::string_view RacersSuffix = "racers";
constexpr std::string_view CarFileExtension = ".rpk";

} // namespace

bool hasRacersFolderName(const std::filesystem::path& folder)
{
    const std::string path = folder.string();
    return path.size() >= RacersSuffix.size() && path.ends_with(RacersSuffix);
}

bool isCarFileName(std::string_view fileName)
{
    return fileName.size() > CarFileExtension.size()
        && equalsIgnoringCase(fileName.substr(fileName.size() - CarFileExtension.size()),
                              CarFileExtension);
}

std::vector<CarEntry> pairCars(const std::filesystem::path& racersFolder,
                               const std::vector<std::string>& fileNames,
                               const std::vector<std::filesystem::path>& subfolders)
{
    // Folder names by exact name, and the first of each name ignoring case.
    std::unordered_map<std::string, const std::filesystem::path*> exact;
    std::unordered_map<std::string, const std::filesystem::path*> folded;
    for (const auto& subfolder : subfolders) {
        std::string name = fileNameOf(subfolder);
        folded.emplace(foldCase(name), &subfolder);
        exact.emplace(std::move(name), &subfolder);
    }

    std::vector<CarEntry> cars;
    for (const std::string& fileName : fileNames) {
        if (!isCarFileName(fileName))
            continue;
        CarEntry car;
        car.name = fileName.substr(0, fileName.size() - CarFileExtension.size());
        if (auto it = exact.find(car.name); it != exact.end())
            car.folder = *it->second;
        else if (auto folding = folded.find(foldCase(car.name)); folding != folded.end())
            car.folder = *folding->second;
        else
            car.folder = racersFolder / car.name;
        cars.push_back(std::move(car));
    }
    return cars;
}

void scanRacersFolder(EditingControls& controls, CarTable& table)
{
    controls.Frame3.setEnabled(false);
    controls.lstcars.clear();

    const FolderChooser& folder = controls.Dir1;
    controls.File1.setFolder(folder.path(), folder.contents().files);

    if (!hasRacersFolderName(folder.path()))
        return;
    std::vector<CarEntry> cars = pairCars(folder.path(), controls.File1.names(), folder.subfolders());
    if (cars.empty())
        return;

    std::vector<std::string> names;
    names.reserve(cars.size());
    for (const CarEntry& car : cars)
        names.push_back(car.name);
    controls.lstcars.addItems(std::move(names));
    table.assign(std::move(cars));
    controls.Frame3.setEnabled(true);
}

} // namespace quendral
