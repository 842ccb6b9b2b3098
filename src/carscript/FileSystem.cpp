#include "carscript/FileSystem.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <random>
#include <system_error>
#include <thread>
#include <utility>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <fcntl.h>
#include <sys/file.h>
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

bool syncToDisk(std::FILE* file)
{
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

#ifdef _WIN32
std::string windowsError(DWORD code)
{
    return std::system_category().message(static_cast<int>(code));
}

// A rename does not replace an existing file on Windows: the replacing move
// does, in one step, and returns only once it is on the disk.
bool moveIntoPlace(const std::filesystem::path& temporary, const std::filesystem::path& target,
                   std::string& error, bool)
{
    if (MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    error = windowsError(GetLastError());
    return false;
}
#else
bool moveIntoPlace(const std::filesystem::path& temporary, const std::filesystem::path& target,
                   std::string& error, bool durable)
{
    std::error_code ec;
    std::filesystem::rename(temporary, target, ec);
    if (ec) {
        error = ec.message();
        return false;
    }
    // Makes the rename itself durable, unless the whole file system will
    // be; a folder that cannot be opened for this is no reason to fail a
    // save that has already taken place.
    if (!durable)
        return true;
    const std::filesystem::path folder = target.parent_path();
    const int descriptor = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (descriptor >= 0) {
        fsync(descriptor);
        close(descriptor);
    }
    return true;
}
#endif

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

// The name of a replacement of `target` before its random suffix.
std::string replacementPrefix(const std::filesystem::path& target)
{
    // Built by appending: GCC 12 at -O3 gives a false -Wrestrict warning
    // for "." + std::string&&.
    std::string prefix = ".";
    prefix += target.filename().string();
    prefix += ".new-";
    return prefix;
}

bool isReplacementName(const std::string& name, const std::string& prefix)
{
    return name.size() == prefix.size() + 12 && name.starts_with(prefix)
        && std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}


std::string tooLarge(std::uintmax_t size, std::uintmax_t limit)
{
    std::string text = "it is " + byteCountText(size) + " long, over the limit of " + byteCountText(limit);
    if (limit % (1u << 20) == 0)
        text += " (" + std::to_string(limit >> 20) + " MiB)";
    return text;
}

std::string grewTooLarge(std::uintmax_t limit)
{
    return "it grew past the limit of " + byteCountText(limit) + " while it was read";
}

std::string spanOf(std::chrono::milliseconds patience)
{
    if (patience.count() % 1000 == 0)
        return std::to_string(patience.count() / 1000) + " seconds";
    return std::to_string(patience.count()) + " milliseconds";
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

    bool stage() override
    {
        if (!m_file)
            return fail("the file is closed");
        if (std::fflush(m_file) != 0)
            return fail(lastSystemError());
#ifdef _WIN32
        if (!syncToDisk(m_file))
            return fail(lastSystemError());
#endif
        m_staged = true;
        return true;
    }

    // The owner and permissions were given when the file was made.
    bool commit() override
    {
        if (!m_file)
            return fail("the file is closed");
#ifdef __linux__
        // A staged file was forced to the disk with its whole file system,
        // which reports only what failed while it ran: this reports what
        // failed to reach the disk of this file since it was opened,
        // without waiting for the disk again.
        if (m_staged
            && sync_file_range(fileno(m_file), 0, 0,
                               SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER)
                != 0)
            return fail(lastSystemError());
#endif
        const int closed = std::fclose(m_file);
        m_file = nullptr;
        if (closed != 0)
            return fail(lastSystemError());

        std::string error;
        if (!moveIntoPlace(m_temporary, m_target, error, !m_staged))
            return fail(std::move(error));
        m_committed = true;
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
    bool m_staged = false;
    std::string m_error;
};

// Hands an open temporary file to a replacement, or closes and removes it
// when even that fails.
std::unique_ptr<ReplacementFile> replacementOf(const std::filesystem::path& target,
                                               const std::filesystem::path& temporary, std::FILE* file)
{
    try {
        return std::make_unique<RealReplacementFile>(target, temporary, file);
    } catch (...) {
        std::fclose(file);
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw;
    }
}

} // namespace

#ifdef _WIN32

namespace {

// Closes the handle it holds, however the function that opened it ends.
class Handle
{
public:
    explicit Handle(HANDLE handle) : m_handle(handle) {}
    ~Handle()
    {
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    HANDLE get() const { return m_handle; }
    HANDLE release() { return std::exchange(m_handle, INVALID_HANDLE_VALUE); }

private:
    HANDLE m_handle;
};

class WindowsLock final : public FileLock
{
public:
    explicit WindowsLock(HANDLE file) : m_file(file) {}
    ~WindowsLock() override
    {
        OVERLAPPED whole{};
        UnlockFileEx(m_file.get(), 0, 1, 0, &whole);
    }

private:
    Handle m_file;
};

// What a replacement takes from its model: whether it is hidden, a system
// file, to be archived or left out of the index. Not read-only: a save
// refuses a read-only script, and a read-only replacement left by a failed
// save could not be removed.
constexpr DWORD KeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

} // namespace

// Others may read and write the file meanwhile, and rename or remove it: a
// save's read must not stand in the way of another program's save.
bool FileSystem::readFile(const std::filesystem::path& path, std::string& data, std::string& error,
                          std::uintmax_t limit)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error = std::strerror(EISDIR);
        return false;
    }
    const Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        error = windowsError(GetLastError());
        return false;
    }
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        error = "not a regular file";
        return false;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) {
        error = windowsError(GetLastError());
        return false;
    }
    const auto expected = static_cast<std::uintmax_t>(size.QuadPart);
    if (expected > limit) {
        error = tooLarge(expected, limit);
        return false;
    }

    // One byte more than expected, so that reaching the end takes no
    // second buffer.
    std::string contents(static_cast<std::size_t>(expected) + 1, '\0');
    std::size_t used = 0;
    while (true) {
        if (used == contents.size()) {
            const std::uintmax_t grown = contents.size() + std::max<std::size_t>(contents.size(), 64 * 1024);
            contents.resize(static_cast<std::size_t>(std::min(grown, limit + 1)));
        }
        const std::size_t room = std::min<std::size_t>(contents.size() - used, 1u << 30);
        DWORD count = 0;
        if (!ReadFile(file.get(), contents.data() + used, static_cast<DWORD>(room), &count, nullptr)) {
            error = windowsError(GetLastError());
            return false;
        }
        if (count == 0)
            break;
        used += count;
        if (used > limit) {
            error = grewTooLarge(limit);
            return false;
        }
    }
    contents.resize(used);
    data = std::move(contents);
    return true;
}

bool FileSystem::isReadOnly(const std::filesystem::path& path, bool& readOnly, std::string& error)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
            readOnly = false;
            return true;
        }
        error = windowsError(code);
        return false;
    }
    readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0 && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0
        && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
    return true;
}

std::unique_ptr<FileLock> FileSystem::lock(const std::filesystem::path& lockFile,
                                           std::chrono::milliseconds patience, std::string& error)
{
    // Opened as it stands, not through a link in its place.
    Handle file(CreateFileW(lockFile.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        error = windowsError(GetLastError());
        return nullptr;
    }
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (true) {
        OVERLAPPED whole{};
        if (LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole))
            break;
        const DWORD code = GetLastError();
        if (code != ERROR_LOCK_VIOLATION && code != ERROR_IO_PENDING) {
            error = windowsError(code);
            return nullptr;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            error = "another process has held it for more than " + spanOf(patience);
            return nullptr;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    auto held = std::make_unique<WindowsLock>(file.get());
    file.release();
    return held;
}

// A new file takes the access rules of its folder; Windows has no owner and
// mode of the kind kept on POSIX. The model's attributes are given from the
// start.
std::unique_ptr<ReplacementFile> FileSystem::createReplacement(const std::filesystem::path& target,
                                                               const std::filesystem::path& model,
                                                               std::string& error)
{
    DWORD attributes = GetFileAttributesW(model.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = GetLastError();
        if (code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND) {
            error = "its model " + model.string() + " cannot be examined: " + windowsError(code);
            return nullptr;
        }
        attributes = 0;
    } else if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        attributes = 0;
    }
    attributes &= KeptAttributes;

    const std::filesystem::path folder = target.parent_path();
    const std::string prefix = replacementPrefix(target);
    DWORD code = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < 16 && code == ERROR_FILE_EXISTS; ++attempt) {
        const std::filesystem::path temporary = folder / (prefix + randomSuffix());
        // CREATE_NEW: fails rather than opening a file that is already there.
        Handle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.get() == INVALID_HANDLE_VALUE) {
            code = GetLastError();
            continue;
        }
        const int descriptor = _open_osfhandle(reinterpret_cast<std::intptr_t>(file.get()), _O_WRONLY | _O_BINARY);
        std::FILE* stream = descriptor >= 0 ? _fdopen(descriptor, "wb") : nullptr;
        if (!stream) {
            error = lastSystemError();
            if (descriptor >= 0)
                _close(descriptor);
            else
                CloseHandle(file.get());
            file.release();
            DeleteFileW(temporary.c_str());
            return nullptr;
        }
        file.release();
        return replacementOf(target, temporary, stream);
    }
    error = windowsError(code);
    return nullptr;
}

#else

namespace {

// Closes the descriptor it holds, however the function that opened it ends.
class Descriptor
{
public:
    explicit Descriptor(int descriptor) : m_descriptor(descriptor) {}
    ~Descriptor()
    {
        if (m_descriptor >= 0)
            close(m_descriptor);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return m_descriptor; }
    int release() { return std::exchange(m_descriptor, -1); }

private:
    int m_descriptor;
};

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

class PosixLock final : public FileLock
{
public:
    explicit PosixLock(int descriptor) : m_descriptor(descriptor) {}
    // Closing the file lets go of the lock.
    ~PosixLock() override { close(m_descriptor); }

private:
    int m_descriptor;
};

// A lock file that a save by another user (root, say) has just made is
// handed to the owner of its folder and left readable to all, so that the
// car's own users can open it to lock it later. It never holds anything.
void shareLockFile(int descriptor, const std::filesystem::path& folder)
{
    struct stat lockFile
    {
    };
    if (fstat(descriptor, &lockFile) != 0 || lockFile.st_uid != geteuid())
        return;
    if ((lockFile.st_mode & 0777) != 0644)
        fchmod(descriptor, 0644);
    struct stat owner
    {
    };
    if (stat(folder.empty() ? "." : folder.c_str(), &owner) == 0
        && (owner.st_uid != lockFile.st_uid || owner.st_gid != lockFile.st_gid)) {
        // Not allowed to an ordinary user, who then keeps it; no harm done.
        if (fchown(descriptor, owner.st_uid, owner.st_gid) != 0) {
        }
    }
}

// The owner, group and permissions a replacement takes from its model.
struct Attributes
{
    uid_t owner;
    gid_t group;
    mode_t mode;
};

// Nothing when the model is missing or no regular file; false with the
// reason when it cannot be examined.
bool attributesOf(const std::filesystem::path& model, std::optional<Attributes>& attributes, std::string& error)
{
    struct stat entry
    {
    };
    if (lstat(model.c_str(), &entry) != 0) {
        if (errno == ENOENT)
            return true;
        error = "its model " + model.string() + " cannot be examined: " + lastSystemError();
        return false;
    }
    struct stat file = entry;
    if (S_ISLNK(entry.st_mode) && stat(model.c_str(), &file) != 0)
        return true;
    if (S_ISREG(file.st_mode))
        attributes = Attributes{entry.st_uid, entry.st_gid, static_cast<mode_t>(file.st_mode & 07777)};
    return true;
}

bool giveAttributes(int descriptor, const Attributes& wanted, const std::filesystem::path& model,
                    std::string& error)
{
    struct stat made
    {
    };
    if (fstat(descriptor, &made) != 0) {
        error = lastSystemError();
        return false;
    }
    mode_t mode = wanted.mode;
    if ((made.st_uid != wanted.owner || made.st_gid != wanted.group)
        && fchown(descriptor, wanted.owner, wanted.group) != 0) {
        // The owner saving a file of a group it is not in: the file takes
        // the owner's own group, which may hold others, so that group may
        // do only what others may.
        int refused = errno;
        const bool ownFile = refused == EPERM && wanted.owner == geteuid() && made.st_uid == wanted.owner;
        if (ownFile)
            refused = made.st_gid == getegid() || fchown(descriptor, static_cast<uid_t>(-1), getegid()) == 0 ? 0 : errno;
        if (refused != 0) {
            error = "it cannot be given the owner and group of " + model.string() + " (user "
                + std::to_string(wanted.owner) + ", group " + std::to_string(wanted.group) + "): "
                + std::strerror(refused);
            return false;
        }
        mode = static_cast<mode_t>((mode & ~(S_ISGID | S_IRWXG)) | ((mode & S_IRWXO) << 3));
    }
    // After the owner: a change of owner clears the set-user-ID bits.
    if (fchmod(descriptor, mode) != 0) {
        error = "it cannot be given the permissions of " + model.string() + ": " + lastSystemError();
        return false;
    }
    return true;
}


// Opens a file to read; a symbolic link only where what it leads to has the
// link's owner, the rule Linux's protected_symlinks applies in sticky
// folders. What was opened is judged by fstat, so that a link changed
// meanwhile cannot slip another file through.
int openFollowingOwnLinks(const std::filesystem::path& path, std::string& error)
{
    constexpr int Flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;
    const int direct = open(path.c_str(), Flags | O_NOFOLLOW);
    if (direct >= 0 || errno != ELOOP) {
        if (direct < 0)
            error = lastSystemError();
        return direct;
    }
    struct stat link
    {
    };
    if (lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) {
        error = std::strerror(ELOOP);
        return -1;
    }
    Descriptor file(open(path.c_str(), Flags));
    struct stat target
    {
    };
    if (file.get() < 0 || fstat(file.get(), &target) != 0) {
        error = lastSystemError();
        return -1;
    }
    if (target.st_uid != link.st_uid) {
        error = "it is a symbolic link of user " + std::to_string(link.st_uid) + " to a file of user "
            + std::to_string(target.st_uid) + ", which is not followed";
        return -1;
    }
    return file.release();
}

} // namespace

// Reads with read() straight into the string, sized from the file's size:
// no copy through a chunk buffer. A file that grows meanwhile is read to
// its end all the same, up to the limit.
bool FileSystem::readFile(const std::filesystem::path& path, std::string& data, std::string& error,
                          std::uintmax_t limit)
{
    // Not blocking: a script that is a pipe must not hang the editor until
    // something writes to it. Regular files are not affected.
    const Descriptor file(openFollowingOwnLinks(path, error));
    if (file.get() < 0)
        return false;

    struct stat status
    {
    };
    if (fstat(file.get(), &status) != 0) {
        error = lastSystemError();
        return false;
    }
    // A folder is left to read(), which names the reason.
    if (!S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode)) {
        error = "not a regular file";
        return false;
    }
    std::size_t expected = 0;
    if (S_ISREG(status.st_mode) && status.st_size > 0) {
        if (static_cast<std::uintmax_t>(status.st_size) > limit) {
            error = tooLarge(static_cast<std::uintmax_t>(status.st_size), limit);
            return false;
        }
        expected = static_cast<std::size_t>(status.st_size);
    }

    std::string contents;
    // One byte more than expected, so that reaching the end takes no
    // second buffer.
    reserveUntouched(contents, expected + 1);
    contents.resize(expected + 1);
    std::size_t used = 0;
    while (true) {
        if (used == contents.size()) {
            const std::uintmax_t grown = contents.size() + std::max<std::size_t>(contents.size(), 64 * 1024);
            contents.resize(static_cast<std::size_t>(std::min(grown, limit + 1)));
        }
        const ssize_t count = read(file.get(), contents.data() + used, contents.size() - used);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            error = lastSystemError();
            return false;
        }
        if (count == 0)
            break;
        used += static_cast<std::size_t>(count);
        if (used > limit) {
            error = grewTooLarge(limit);
            return false;
        }
    }
    contents.resize(used);
    data = std::move(contents);
    return true;
}

bool FileSystem::isReadOnly(const std::filesystem::path& path, bool& readOnly, std::string& error)
{
    struct stat status
    {
    };
    if (lstat(path.c_str(), &status) != 0) {
        if (errno != ENOENT) {
            error = lastSystemError();
            return false;
        }
        readOnly = false;
        return true;
    }
    readOnly = S_ISREG(status.st_mode) && (status.st_mode & S_IWUSR) == 0;
    return true;
}

std::unique_ptr<FileLock> FileSystem::lock(const std::filesystem::path& lockFile,
                                           std::chrono::milliseconds patience, std::string& error)
{
    // Not through a link: that would make the empty file wherever it points.
    // Not blocking: a pipe in its place must not hang the save.
    Descriptor file(open(lockFile.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644));
    if (file.get() < 0) {
        error = lastSystemError();
        return nullptr;
    }
    shareLockFile(file.get(), lockFile.parent_path());

    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (flock(file.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK) {
            error = lastSystemError();
            return nullptr;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            error = "another process has held it for more than " + spanOf(patience);
            return nullptr;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    auto held = std::make_unique<PosixLock>(file.get());
    file.release();
    return held;
}

std::unique_ptr<ReplacementFile> FileSystem::createReplacement(const std::filesystem::path& target,
                                                               const std::filesystem::path& model,
                                                               std::string& error)
{
    std::optional<Attributes> attributes;
    if (!attributesOf(model, attributes, error))
        return nullptr;

    const std::filesystem::path folder = target.parent_path();
    const std::string prefix = replacementPrefix(target);
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::filesystem::path temporary = folder / (prefix + randomSuffix());
        // O_EXCL: fails rather than opening a file that is already there.
        // Private until it has the model's owner and permissions.
        Descriptor file(open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, attributes ? 0600 : 0666));
        if (file.get() < 0) {
            if (errno == EEXIST)
                continue;
            break;
        }
        if (attributes && !giveAttributes(file.get(), *attributes, model, error)) {
            unlink(temporary.c_str());
            return nullptr;
        }
        std::FILE* stream = fdopen(file.get(), "wb");
        if (!stream) {
            error = lastSystemError();
            unlink(temporary.c_str());
            return nullptr;
        }
        file.release();
        return replacementOf(target, temporary, stream);
    }
    error = lastSystemError();
    return nullptr;
}

#endif

namespace {

#ifndef _WIN32
// A new folder that a save by another user (root, say) has made is handed to
// the owner of its model, so that the car's own users can write in it later.
void giveFolderAttributes(const std::filesystem::path& folder, const std::filesystem::path& model)
{
    struct stat wanted
    {
    };
    if (stat(model.c_str(), &wanted) != 0)
        return;
    // Not allowed to an ordinary user, whose folder it is anyway.
    if (chown(folder.c_str(), wanted.st_uid, wanted.st_gid) != 0) {
    }
    chmod(folder.c_str(), wanted.st_mode & 07777);
}
#endif

} // namespace

#ifndef _WIN32

bool FileSystem::createFolder(const std::filesystem::path& folder, const std::filesystem::path& model,
                              std::string& error)
{
    std::error_code ec;
    if (std::filesystem::create_directory(folder, ec)) {
#ifndef _WIN32
        giveFolderAttributes(folder, model);
#else
        (void)model;
#endif
        return true;
    }
    const std::error_code made = ec;
    // A link in its place would lead the files made in it anywhere.
    const auto status = std::filesystem::symlink_status(folder, ec);
    if (std::filesystem::is_directory(status))
        return true;
    if (std::filesystem::is_symlink(status))
        error = "it is a symbolic link";
    else if (std::filesystem::exists(status))
        error = "it is not a folder";
    else
        error = made ? made.message() : "it cannot be made";
    return false;
}

bool FileSystem::canWriteIn(const std::filesystem::path& folder)
{
    return access(folder.c_str(), W_OK) == 0;
}

bool FileSystem::remove(const std::filesystem::path& path, std::string& error)
{
    std::error_code ec;
    std::filesystem::remove(path, ec);
    if (ec)
        error = ec.message();
    return !ec;
}

#else

namespace {

bool isMissing(DWORD code)
{
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

} // namespace

bool FileSystem::canWriteIn(const std::filesystem::path&)
{
    return true;
}

// A new folder takes the access rules of its parent, as a new file does.
bool FileSystem::createFolder(const std::filesystem::path& folder, const std::filesystem::path& model,
                              std::string& error)
{
    (void)model;
    if (CreateDirectoryW(folder.c_str(), nullptr))
        return true;
    const DWORD code = GetLastError();
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (code != ERROR_ALREADY_EXISTS || attributes == INVALID_FILE_ATTRIBUTES) {
        error = windowsError(code);
        return false;
    }
    // A link or a junction in its place would lead the files made in it anywhere.
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        error = "it is a symbolic link or a junction";
    else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        error = "it is not a folder";
    else
        return true;
    return false;
}

// A link to a folder, or a junction, goes as an empty folder would, and
// what it leads to stays.
bool FileSystem::remove(const std::filesystem::path& path, std::string& error)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = GetLastError();
        if (isMissing(code))
            return true;
        error = windowsError(code);
        return false;
    }
    const bool removed = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? RemoveDirectoryW(path.c_str())
                                                                      : DeleteFileW(path.c_str());
    const DWORD code = removed ? ERROR_SUCCESS : GetLastError();
    if (removed || isMissing(code))
        return true;
    error = windowsError(code);
    return false;
}

#endif

void FileSystem::removeLeftovers(const std::filesystem::path& target)
{
    const std::string prefix = replacementPrefix(target);
    const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!isReplacementName(it->path().filename().string(), prefix))
            continue;
        std::error_code ignored;
        // A folder of that name is none of ours.
        if (!std::filesystem::is_directory(it->symlink_status(ignored)))
            std::filesystem::remove(it->path(), ignored);
    }
}

bool FileSystem::syncFileSystems(const std::vector<std::filesystem::path>& paths, std::string& error)
{
#ifdef _WIN32
    (void)paths;
    (void)error;
    return true;
#else
    std::vector<dev_t> synced;
    for (const std::filesystem::path& path : paths) {
        struct stat status
        {
        };
        if (stat(path.c_str(), &status) != 0) {
            error = path.string() + ": " + lastSystemError();
            return false;
        }
        if (std::find(synced.begin(), synced.end(), status.st_dev) != synced.end())
            continue;
        synced.push_back(status.st_dev);
#ifdef __linux__
        const Descriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
        if (file.get() < 0 || syncfs(file.get()) != 0) {
            error = path.string() + ": " + lastSystemError();
            return false;
        }
#else
        // Elsewhere only the whole machine can be synced, and once is enough.
        ::sync();
        return true;
#endif
    }
    return true;
#endif
}

FileSystem& FileSystem::real()
{
    static FileSystem fileSystem;
    return fileSystem;
}

// Built by appending: GCC 12 for Windows gives a false -Wrestrict warning
// for inserting the commas.
std::string byteCountText(std::uintmax_t bytes)
{
    const std::string digits = std::to_string(bytes);
    std::string grouped;
    for (std::size_t at = 0; at < digits.size(); ++at) {
        if (at > 0 && (digits.size() - at) % 3 == 0)
            grouped += ',';
        grouped += digits[at];
    }
    return grouped.append(bytes == 1 ? " byte" : " bytes");
}

} // namespace quendral
