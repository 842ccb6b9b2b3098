#include "MemoryDisk.h"

#include <cerrno>
#include <cstring>
#include <sys/mount.h>

namespace quendral::test {

MemoryDisk::MemoryDisk(const std::filesystem::path& where, const std::string& size) : m_where(where)
{
    std::filesystem::create_directories(where);
    const std::string options = "size=" + size;
    if (::mount("tmpfs", where.c_str(), "tmpfs", 0, options.c_str()) == 0)
        m_mounted = true;
    else
        m_error = std::strerror(errno);
}

MemoryDisk::~MemoryDisk()
{
    if (m_mounted)
        ::umount2(m_where.c_str(), MNT_DETACH);
}

} // namespace quendral::test
