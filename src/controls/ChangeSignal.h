#pragma once

#include "controls/ScopedConnection.h"

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace quendral {

// A list of handlers run, in the order they were connected, each time a
// control's value changes, whether the user or the program changed it. Each
// runs while the connection connect() returned lives.
class ChangeSignal
{
public:
    ChangeSignal() = default;
    ChangeSignal(const ChangeSignal&) = delete;
    ChangeSignal& operator=(const ChangeSignal&) = delete;

    ScopedConnection connect(std::function<void()> run)
    {
        // Handlers disconnected are dropped here, but not while an emit
        // walks the list by index.
        if (m_emitting == 0)
            std::erase_if(m_handlers, [](const std::shared_ptr<Handler>& handler) { return !handler->connected; });
        auto handler = std::make_shared<Handler>(Handler{std::move(run)});
        m_handlers.push_back(handler);
        return ScopedConnection(std::shared_ptr<bool>(handler, &handler->connected));
    }

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
        // A handler may also connect another, which may move the list but
        // not the handlers in it.
        const auto count = m_handlers.size();
        const Emitting emitting(m_emitting);
        for (std::size_t i = 0; i < count; ++i) {
            const Handler& handler = *m_handlers[i];
            if (handler.connected)
                handler.run();
        }
    }

private:
    struct Handler
    {
        std::function<void()> run;
        bool connected = true;
    };

    struct Emitting
    {
        explicit Emitting(int& depth) : m_depth(depth) { ++m_depth; }
        ~Emitting() { --m_depth; }
        Emitting(const Emitting&) = delete;
        Emitting& operator=(const Emitting&) = delete;
        int& m_depth;
    };

    std::vector<std::shared_ptr<Handler>> m_handlers;
    mutable int m_emitting = 0;
};

} // namespace quendral
