#include "catalogue/CarTable.h"

#include "catalogue/FolderListing.h"

namespace quendral {

void CarTable::assign(std::vector<CarEntry> cars)
{
    auto table = std::make_shared<Cars>();
    for (CarEntry& car : cars)
        table->entries.push_back(std::make_unique<const CarEntry>(std::move(car)));
    m_cars = std::move(table);
}

void CarTable::assign(const std::filesystem::path& racersFolder, std::vector<FoundCar> cars)
{
    auto table = std::make_shared<Cars>();
    const std::filesystem::path prefix = racersFolder / "";
    table->prefix = prefix.native();
    const std::u8string text = prefix.u8string();
    table->prefixText.assign(text.begin(), text.end());
    table->entries.resize(cars.size());
    table->found = std::move(cars);
    m_cars = std::move(table);
}

const CarEntry* CarTable::entry(int index) const
{
    if (index < 0 || index >= size())
        return nullptr;
    const auto at = static_cast<std::size_t>(index);
    const std::lock_guard lock(m_cars->making);
    std::unique_ptr<const CarEntry>& made = m_cars->entries[at];
    if (!made) {
        // Made from its whole text at once: `folder / name` copies the
        // folder's parsed elements and then grows them.
        const FoundCar& car = m_cars->found[at];
        made = std::make_unique<const CarEntry>(
            CarEntry{car.name, std::filesystem::path(m_cars->prefix + pathFromText(car.folderName).native())});
    }
    return made.get();
}

const std::string& CarTable::name(int index) const
{
    const auto at = static_cast<std::size_t>(index);
    return m_cars->found.empty() ? entry(index)->name : m_cars->found[at].name;
}

std::string CarTable::folderText(int index) const
{
    if (m_cars->found.empty()) {
        const std::u8string text = entry(index)->folder.u8string();
        return std::string(text.begin(), text.end());
    }
    return m_cars->prefixText + m_cars->found[static_cast<std::size_t>(index)].folderName;
}

} // namespace quendral
