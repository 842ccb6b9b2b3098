#pragma once

#include <functional>
#include <utility>
#include <vector>

namespace quendral {

// A list of handlers run, in the order they were connected, each time a
// control's value changes, whether the user or the program changed it.
class ChangeSignal
{
public:
    void connect(std::function<void()> handler) { m_handlers.push_back(std::move(handler)); }

    // Stores a new value and emits, unless the value is the one held.
    template <typename Value, typename NewValue>
    void update(Value& stored, NewValue&& value)
    {
        if (stored == value)
            return;
        stored = std::forward<NewValue>(value);
        emit();
    }

    void emit() const
    {
        // A handler may change the control again (the maximum wheel-size
        // check does), which emits anew: iterate by index over a stable size.
        const auto count = m_handlers.size();
        for (std::size_t i = 0; i < count; ++i)
            m_handlers[i]();
    }

private:
    std::vector<std::function<void()>> m_handlers;
};

} // namespace quendral
