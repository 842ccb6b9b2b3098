#pragma once

#include "controls/ChangeSignal.h"

#include <iterator>
#include <string>
#include <vector>

namespace quendral {

// A single-selection list that keeps its entries in the order they were added.
class ListBox
{
public:
    static constexpr int NoSelection = -1;

    const std::vector<std::string>& items() const { return m_items; }
    int listCount() const { return static_cast<int>(m_items.size()); }
    int listIndex() const { return m_listIndex; }

    void clear()
    {
        const bool hadSelection = m_listIndex != NoSelection;
        m_items.clear();
        m_listIndex = NoSelection;
        itemsChanged.emit();
        if (hadSelection)
            selectionChanged.emit();
    }

    void addItem(std::string item)
    {
        m_items.push_back(std::move(item));
        itemsChanged.emit();
    }

    // Selects an entry; anything outside the list selects nothing.
    void setListIndex(int index)
    {
        selectionChanged.update(m_listIndex, index >= 0 && index < listCount() ? index : NoSelection);
    }

    // Appends several entries at once, with one change.
    void addItems(std::vector<std::string> items)
    {
        m_items.insert(m_items.end(), std::make_move_iterator(items.begin()),
                       std::make_move_iterator(items.end()));
        itemsChanged.emit();
    }

    ChangeSignal itemsChanged;
    ChangeSignal selectionChanged;

private:
    std::vector<std::string> m_items;
    int m_listIndex = NoSelection;
};

} // namespace quendral
