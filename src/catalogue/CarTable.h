#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace quendral {

// One car of the car list: the name shown and the folder that holds its
// scripts.
struct CarEntry
{
    std::string name;
    std::filesystem::path folder;
};

// A car a racers folder scan found: its name and the name of its folder in
// the racers folder, as bytes (UTF-8 on Windows).
struct FoundCar
{
    std::string name;
    std::string folderName;
};

// Maps each position of the car list to its car. Filled by the folder scan,
// read by the load and the save.
//
// The cars are shared between copies, never changed once assigned: the
// command-line tool copies the editor's table. A found car's folder path is
// made when it is first asked for: a path keeps its parsed elements in a
// block of its own, and making 10,000 of them was most of what a `list`
// touched.
class CarTable
{
public:
    // Cars whose folders are given.
    void assign(std::vector<CarEntry> cars);
    // The cars found in `racersFolder`.
    void assign(const std::filesystem::path& racersFolder, std::vector<FoundCar> cars);

    int size() const { return m_cars ? static_cast<int>(m_cars->entries.size()) : 0; }

    // The car at a list position, or nullptr for a position that has none
    // (-1 when nothing is selected).
    const CarEntry* entry(int index) const;

    // The name and the folder's path as UTF-8 text of the car at a list
    // position that has one, without making its path.
    const std::string& name(int index) const;
    std::string folderText(int index) const;

private:
    struct Cars
    {
        // For found cars: the racers folder's path and a separator, in the
        // system's own form and as UTF-8 text. Given cars are made at once.
        std::filesystem::path::string_type prefix;
        std::string prefixText;
        std::vector<FoundCar> found;
        std::mutex making;
        std::vector<std::unique_ptr<const CarEntry>> entries;
    };

    std::shared_ptr<Cars> m_cars;
};

} // namespace quendral
