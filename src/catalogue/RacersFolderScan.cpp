#include "catalogue/RacersFolderScan.h"

#include "catalogue/FolderListing.h"
#include "controls/EditingControls.h"

#include <algorithm>

namespace quendral {

namespace {

constexpr std::string_view RacersSuffix = "racers";
constexpr std::string_view CarFileExtension = ".rpk";

// A car folder candidate: its name, case-folded, and its place in the list
// of subfolders.
struct NamedSubfolder
{
    std::string folded;
    std::size_t index;
};

struct FoldedNameLess
{
    bool operator()(const NamedSubfolder& a, const std::string& b) const { return a.folded < b; }
    bool operator()(const std::string& a, const NamedSubfolder& b) const { return a < b.folded; }
};

} // namespace

bool hasRacersFolderName(const std::filesystem::path& folder)
{
    const std::string path = folder.string();
#ifdef _WIN32
    // Windows' file systems ignore case, and so does the game there.
    return path.size() >= RacersSuffix.size()
        && equalsIgnoringCase(std::string_view(path).substr(path.size() - RacersSuffix.size()), RacersSuffix);
#else
    return path.ends_with(RacersSuffix);
#endif
}

bool isCarFileName(std::string_view fileName)
{
    return fileName.size() > CarFileExtension.size()
        && equalsIgnoringCase(fileName.substr(fileName.size() - CarFileExtension.size()),
                              CarFileExtension);
}

std::vector<FoundCar> pairCars(const std::vector<std::string>& fileNames,
                               const std::vector<std::string>& subfolders)
{
    // The folder names case-folded, beside their place in `subfolders`: a
    // listing's order is that of the folded names, and the names equal
    // ignoring case stand together, the first of them foremost. A sorted
    // vector rather than hash maps keeps a scan of 10,000 cars from making
    // tens of thousands of small allocations.
    std::vector<NamedSubfolder> byName;
    byName.reserve(subfolders.size());
    for (std::size_t i = 0; i < subfolders.size(); ++i)
        byName.push_back({foldCase(subfolders[i]), i});

    std::vector<FoundCar> cars;
    cars.reserve(fileNames.size());
    for (const std::string& fileName : fileNames) {
        if (!isCarFileName(fileName))
            continue;
        std::string name = fileName.substr(0, fileName.size() - CarFileExtension.size());
        const std::string folded = foldCase(name);
        const auto sameIgnoringCase = std::equal_range(
            byName.begin(), byName.end(), folded, FoldedNameLess{});
        const NamedSubfolder* match = nullptr;
        for (auto it = sameIgnoringCase.first; it != sameIgnoringCase.second && !match; ++it)
            if (subfolders[it->index] == name)
                match = &*it;
        if (!match && sameIgnoringCase.first != sameIgnoringCase.second)
            match = &*sameIgnoringCase.first;
        std::string folderName = match ? subfolders[match->index] : name;
        cars.push_back({std::move(name), std::move(folderName)});
    }
    return cars;
}

void scanRacersFolder(EditingControls& controls, CarTable& table)
{
    controls.editingFrame.setEnabled(false);
    controls.carList.clear();

    const FolderChooser& folder = controls.folderChooser;
    controls.fileList.setNames(folder.contents().files);

    if (!hasRacersFolderName(folder.path()))
        return;
    std::vector<FoundCar> cars = pairCars(controls.fileList.names(), folder.subfolders());
    if (cars.empty())
        return;

    std::vector<std::string> names;
    names.reserve(cars.size());
    for (const FoundCar& car : cars)
        names.push_back(car.name);
    controls.carList.addItems(std::move(names));
    table.assign(folder.path(), std::move(cars));
    controls.editingFrame.setEnabled(true);
}

} // namespace quendral
