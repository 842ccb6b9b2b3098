#pragma once

#include <memory>
#include <utility>

namespace quendral {

// A handler's hold on a ChangeSignal: the handler runs for as long as this
// object lives, and not after. Its owner keeps it beside what the handler
// uses, so that a view that goes before the model it shows leaves no handler
// behind. The signal may go first; then there is nothing left to disconnect.
class [[nodiscard]] ScopedConnection
{
public:
    ScopedConnection() = default;
    explicit ScopedConnection(std::weak_ptr<bool> connected) : m_connected(std::move(connected)) {}
    ~ScopedConnection() { disconnect(); }

    ScopedConnection(const ScopedConnection&) = delete;
    ScopedConnection& operator=(const ScopedConnection&) = delete;
    ScopedConnection(ScopedConnection&& other) noexcept = default;
    ScopedConnection& operator=(ScopedConnection&& other) noexcept
    {
        if (this != &other) {
            disconnect();
            m_connected = std::move(other.m_connected);
        }
        return *this;
    }

    void disconnect()
    {
        if (const std::shared_ptr<bool> connected = m_connected.lock())
            *connected = false;
        m_connected.reset();
    }

private:
    std::weak_ptr<bool> m_connected;
};

} // namespace quendral
