#pragma once

#include <filesystem>
#include <memory>
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
//
// The cars are shared between copies, never changed once assigned: the
// command-line tool copies the editor's table, and copying 10,000 folder
// paths was a quarter of the memory a `list` touched.
class CarTable
{
public:
    void assign(std::vector<CarEntry> cars)
    {
        m_cars = std::make_shared<const std::vector<CarEntry>>(std::move(cars));
    }

    int size() const { return m_cars ? static_cast<int>(m_cars->size()) : 0; }

    // The car at a list position, or nullptr for a position that has none
    // (-1 when nothing is selected).
    const CarEntry* entry(int index) const
    {
        if (index < 0 || index >= size())
            return nullptr;
        return &(*m_cars)[static_cast<std::size_t>(index)];
    }

private:
    std::shared_ptr<const std::vector<CarEntry>> m_cars;
};

} // namespace quendral
