#pragma once

#include <filesystem>
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

// Maps each position of the car list to its car. Filled by the folder scan,
// read by the load and the save.
class CarTable
{
public:
    void assign(std::vector<CarEntry> cars) { m_cars = std::move(cars); }

    int size() const { return static_cast<int>(m_cars.size()); }

    // The car at a list position, or nullptr for a position that has none
    // (-1 when nothing is selected).
    const CarEntry* entry(int index) const
    {
        if (index < 0 || index >= size())
            return nullptr;
        return &m_cars[static_cast<std::size_t>(index)];
    }

private:
    std::vector<CarEntry> m_cars;
};

} // namespace quendral
