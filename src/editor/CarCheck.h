#pragma once

#include "catalogue/CarTable.h"

#include <filesystem>
#include <string>
#include <vector>

namespace quendral {

class FileSystem;

// What stands in the way of editing a car: what would make a save refuse
// it, or make a save (or the load before it) lose or misplace part of what
// its script holds. Each is a sentence fit to follow "CAR: ".
struct CarProblem
{
    std::string car;
    std::filesystem::path folder;
    std::string problem;
};

// The problems of the car in `carFolder`. Reads the car's files and writes
// nothing, not even the save lock.
std::vector<std::string> carProblems(const std::filesystem::path& carFolder, FileSystem& fileSystem);

// The problems of every car of a racers folder's car list, in list order:
// those of each car, and a car file without a folder or a car whose name
// differs from an earlier one only in letter case.
std::vector<CarProblem> carListProblems(const CarTable& cars, FileSystem& fileSystem);

} // namespace quendral
