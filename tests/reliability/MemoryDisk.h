#pragma once

#include <filesystem>
#include <string>

namespace quendral::test {

// A memory-backed file system (tmpfs) of a fixed size mounted for one test:
// a disk that really fills up, or a fast one for tests that create many
// entries. Mounting needs root and a machine that permits it; when it is
// refused, mounted() is false and error() says why.
class MemoryDisk
{
public:
    MemoryDisk(const std::filesystem::path& where, const std::string& size);
    ~MemoryDisk();
    MemoryDisk(const MemoryDisk&) = delete;
    MemoryDisk& operator=(const MemoryDisk&) = delete;

    bool mounted() const { return m_mounted; }
    const std::string& error() const { return m_error; }

private:
    std::filesystem::path m_where;
    bool m_mounted = false;
    std::string m_error;
};

} // namespace quendral::test
