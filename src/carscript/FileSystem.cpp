#include "carscript/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quendral {

namespace {

std::string lastSystemError()
{
    return std::strerror(errno);
}

std::FILE* openFile(const std::filesystem::path& path, const char* mode)
{
#ifdef _WIN32
    std::wstring wideMode(mode, mode + std::strlen(mode));
    return _wfopen(path.c_str(), wideMode.c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

bool syncToDisk(std::FILE* file)
{
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

void syncFolder(const std::filesystem::path& folder)
{
#ifndef _WIN32
    // Makes the rename itself durable; a folder that cannot be opened for
    // this is no reason to fail a save that has already taken place.
    const int descriptor = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (descriptor >= 0) {
        fsync(descriptor);
        close(descriptor);
    }
#else
    (void)folder;
#endif
}

std::string randomSuffix()
{
    static std::mt19937_64 generator{std::random_device{}()};
    static const char digits[] = "0123456789abcdef";
    std::uint64_t bits = generator();
    std::string suffix(12, '0');
    for (char& c : suffix) {
        c = digits[bits & 0xf];
        bits >>= 4;
    }
    return suffix;
}

class RealReplacementFile final : public ReplacementFile
{
public:
    RealReplacementFile(std::filesystem::path target, std::filesystem::path temporary, std::FILE* file)
        : m_target(std::move(target)), m_temporary(std::move(temporary)), m_file(file)
    {
    }

    ~RealReplacementFile() override
    {
        if (m_file)
            std::fclose(m_file);
        if (!m_committed) {
            std::error_code ignored;
            std::filesystem::remove(m_temporary, ignored);
        }
    }

    bool write(std::string_view bytes) override
    {
        if (!m_file)
            return fail("the file is closed");
        if (std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size())
            return fail(lastSystemError());
        return true;
    }

    bool flush() override
    {
        if (!m_file)
            return fail("the file is closed");
        if (std::fflush(m_file) != 0 || !syncToDisk(m_file))
            return fail(lastSystemError());
        return true;
    }

    bool commit() override
    {
        if (!m_file)
            return fail("the file is closed");
        const int closed = std::fclose(m_file);
        m_file = nullptr;
        if (closed != 0)
            return fail(lastSystemError());

        // The new file keeps the permissions of the file it replaces.
        std::error_code ec;
        const auto target = std::filesystem::symlink_status(m_target, ec);
        if (!ec && std::filesystem::is_regular_file(target))
            std::filesystem::permissions(m_temporary, target.permissions(), ec);

        std::filesystem::rename(m_temporary, m_target, ec);
        if (ec)
            return fail(ec.message());
        m_committed = true;
        syncFolder(m_target.parent_path());
        return true;
    }

    std::string errorString() const override { return m_error; }

private:
    bool fail(std::string reason)
    {
        m_error = std::move(reason);
        return false;
    }

    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    std::FILE* m_file;
    bool m_committed = false;
    std::string m_error;
};

} // namespace

#ifdef _WIN32

bool FileSystem::readFile(const std::filesystem::path& path, std::string& data, std::string& error)
{
    std::FILE* file = openFile(path, "rb");
    if (!file) {
        error = lastSystemError();
        return false;
    }

    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    std::string contents;
    if (!ec)
        contents.reserve(static_cast<std::size_t>(size));

    char chunk[64 * 1024];
    std::size_t count = 0;
    while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        contents.append(chunk, count);
    const bool failed = std::ferror(file) != 0;
    const int readErrno = errno;
    std::fclose(file);
    if (failed) {
        error = std::strerror(readErrno);
        return false;
    }
    data = std::move(contents);
    return true;
}

#else

namespace {

// Gives a buffer of `size` bytes whose pages have not been touched yet,
// backed by huge pages where the system has them. A script of 50 MB is
// otherwise read into 12,800 fresh pages of 4 KB, and the page faults of
// those cost more than reading the file (a tenth of a second on a virtual
// machine).
void reserveUntouched(std::string& buffer, std::size_t size)
{
    buffer.reserve(size);
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t HugePage = 2 * 1024 * 1024;
    if (size < 2 * HugePage)
        return;
    const auto begin = reinterpret_cast<std::uintptr_t>(buffer.data());
    const std::uintptr_t alignedBegin = (begin + HugePage - 1) & ~(HugePage - 1);
    const std::uintptr_t alignedEnd = (begin + size) & ~(HugePage - 1);
    if (alignedEnd > alignedBegin)
        madvise(reinterpret_cast<void*>(alignedBegin), alignedEnd - alignedBegin, MADV_HUGEPAGE);
#endif
}

} // namespace

// Reads with read() straight into the string, sized from the file's size:
// no copy through a chunk buffer. A file that grows meanwhile is read to
// its end all the same.
bool FileSystem::readFile(const std::filesystem::path& path, std::string& data, std::string& error)
{
    // Not blocking: a script that is a pipe must not hang the editor until
    // something writes to it. Regular files are not affected.
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) {
        error = lastSystemError();
        return false;
    }

    struct stat status
    {
    };
    if (fstat(descriptor, &status) != 0) {
        error = lastSystemError();
        close(descriptor);
        return false;
    }
    // A folder is left to read(), which names the reason.
    if (!S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode)) {
        error = "not a regular file";
        close(descriptor);
        return false;
    }
    std::size_t expected = 0;
    if (S_ISREG(status.st_mode) && status.st_size > 0)
        expected = static_cast<std::size_t>(status.st_size);

    std::string contents;
    // One byte more than expected, so that reaching the end takes no
    // second buffer.
    reserveUntouched(contents, expected + 1);
    contents.resize(expected + 1);
    std::size_t used = 0;
    while (true) {
        if (used == contents.size())
            contents.resize(contents.size() + std::max<std::size_t>(contents.size(), 64 * 1024));
        const ssize_t count = read(descriptor, contents.data() + used, contents.size() - used);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            const int readErrno = errno;
            close(descriptor);
            error = std::strerror(readErrno);
            return false;
        }
        if (count == 0)
            break;
        used += static_cast<std::size_t>(count);
    }
    close(descriptor);
    contents.resize(used);
    data = std::move(contents);
    return true;
}

#endif

std::unique_ptr<ReplacementFile> FileSystem::createReplacement(const std::filesystem::path& target,
                                                               std::string& error)
{
    const std::filesystem::path folder = target.parent_path();
    // Built by appending: GCC 12 at -O3 gives a false -Wrestrict warning
    // for "." + std::string&&.
    std::string baseName = ".";
    baseName += target.filename().string();
    baseName += ".new-";
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::filesystem::path temporary = folder / (baseName + randomSuffix());
        // "x": fails rather than opening a file that is already there.
        if (std::FILE* file = openFile(temporary, "wbx"))
            return std::make_unique<RealReplacementFile>(target, temporary, file);
        if (errno != EEXIST)
            break;
    }
    error = lastSystemError();
    return nullptr;
}

FileSystem& FileSystem::real()
{
    static FileSystem fileSystem;
    return fileSystem;
}

} // namespace quendral
