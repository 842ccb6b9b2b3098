#pragma once

#include "catalogue/CarTable.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quendral {

class EditingControls;

// A racers folder is one whose path ends in "racers" (in exact case, but in
// any case on Windows) and that holds at least one car file.
bool hasRacersFolderName(const std::filesystem::path& folder);

// A car file's name ends in ".rpk", in any case, with a name in front.
bool isCarFileName(std::string_view fileName);

// Pairs each car file with the subfolder of the same name: the exact name
// first, else the first one equal ignoring case. The subfolders' names come
// in the order listFolder() gives them. A car without a folder gets the
// folder its name would have, so that picking it reports the missing script
// rather than touching another car.
std::vector<FoundCar> pairCars(const std::vector<std::string>& fileNames,
                               const std::vector<std::string>& subfolders);

// Runs on every change of the folder chooser: disables the editing frame,
// empties the car list, points the file list at the folder and, when it is a
// racers folder, fills the car list and the car table and enables the frame.
void scanRacersFolder(EditingControls& controls, CarTable& table);

} // namespace quendral
