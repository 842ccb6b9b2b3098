#include "carscript/LocalFileSystem.h"

#include "carscript/LocalReplacementFile.h"

#include "carscript/WindowsApi.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <system_error>
#include <utility>

namespace quendral {

namespace {

std::string lastSystemError()
{
    return std::strerror(errno);
}

std::string windowsError(DWORD code)
{
    return std::system_category().message(static_cast<int>(code));
}

} // namespace

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

FileType typeOf(std::filesystem::file_type type)
{
    switch (type) {
    case std::filesystem::file_type::regular:
        return FileType::Regular;
    case std::filesystem::file_type::directory:
        return FileType::Folder;
    case std::filesystem::file_type::symlink:
        return FileType::Link;
    case std::filesystem::file_type::not_found:
    case std::filesystem::file_type::none:
        return FileType::Missing;
    default:
        return FileType::Other;
    }
}

// Others may read and write the file meanwhile, and rename or remove it: a
// save's read must not stand in the way of another program's save.
HANDLE openForReading(const std::filesystem::path& path, std::string& error)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error = std::strerror(EISDIR);
        return INVALID_HANDLE_VALUE;
    }
    Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        error = windowsError(GetLastError());
        return INVALID_HANDLE_VALUE;
    }
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        error = "not a regular file";
        return INVALID_HANDLE_VALUE;
    }
    return file.release();
}

class WindowsReader final : public FileReader
{
public:
    explicit WindowsReader(HANDLE handle) : m_file(handle) {}

    HANDLE handle() const { return m_file.get(); }
    std::optional<std::size_t> read(char* room, std::size_t size) override
    {
        DWORD count = 0;
        if (!ReadFile(m_file.get(), room, static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30)), &count, nullptr)) {
            m_error = windowsError(GetLastError());
            return std::nullopt;
        }
        return count;
    }
    std::string errorString() const override { return m_error; }

private:
    Handle m_file;
    std::string m_error;
};

} // namespace

bool LocalFileSystem::readFile(const std::filesystem::path& path, std::string& data, std::string& error,
                               std::uintmax_t limit)
{
    const HANDLE opened = openForReading(path, error);
    if (opened == INVALID_HANDLE_VALUE)
        return false;
    WindowsReader file(opened);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.handle(), &size)) {
        error = windowsError(GetLastError());
        return false;
    }
    const auto expected = static_cast<std::uintmax_t>(size.QuadPart);
    if (expected > limit) {
        error = tooLarge(expected, limit);
        return false;
    }
    return readToEnd(file, static_cast<std::size_t>(expected), limit, data, error);
}

std::unique_ptr<FileReader> LocalFileSystem::openToRead(const std::filesystem::path& path, std::string& error)
{
    const HANDLE opened = openForReading(path, error);
    if (opened == INVALID_HANDLE_VALUE)
        return nullptr;
    return std::make_unique<WindowsReader>(opened);
}

bool LocalFileSystem::isReadOnly(const std::filesystem::path& path, bool& readOnly, std::string& error)
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

std::unique_ptr<FileLock> LocalFileSystem::lock(const std::filesystem::path& lockFile,
                                                std::chrono::milliseconds patience, std::string& error)
{
    // Opened as it stands, not through a link in its place.
    Handle file(CreateFileW(lockFile.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        error = windowsError(GetLastError());
        return nullptr;
    }
    return lockWhenTaken<WindowsLock>(file, patience, error, [&] {
        OVERLAPPED whole{};
        if (LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole))
            return LockAttempt::Taken;
        const DWORD code = GetLastError();
        if (code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING)
            return LockAttempt::Held;
        error = windowsError(code);
        return LockAttempt::Failed;
    });
}

// A new file takes the access rules of its folder; Windows has no owner and
// mode of the kind kept on POSIX. The model's attributes are given from the
// start.
std::unique_ptr<ReplacementFile> LocalFileSystem::createReplacement(const std::filesystem::path& target,
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
        return LocalReplacementFile::adopt(target, temporary, stream);
    }
    error = windowsError(code);
    return nullptr;
}

namespace {

bool isMissing(DWORD code)
{
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

} // namespace

bool LocalFileSystem::canWriteIn(const std::filesystem::path&)
{
    return true;
}

// A new folder takes the access rules of its parent, as a new file does.
bool LocalFileSystem::createFolder(const std::filesystem::path& folder, const std::filesystem::path& model,
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
bool LocalFileSystem::remove(const std::filesystem::path& path, std::string& error)
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

// Everything written is on the disk already: a staged file was flushed on
// its own.
bool LocalFileSystem::syncFileSystems(const std::vector<std::filesystem::path>&, std::string&)
{
    return true;
}

bool LocalFileSystem::status(const std::filesystem::path& path, FileStatus& status, std::string& error, Links links)
{
    std::error_code ec;
    const std::filesystem::file_status found =
        links == Links::Followed ? std::filesystem::status(path, ec) : std::filesystem::symlink_status(path, ec);
    if (!std::filesystem::exists(found)) {
        if (ec && found.type() != std::filesystem::file_type::not_found) {
            error = ec.message();
            return false;
        }
        status = FileStatus{};
        return true;
    }
    FileStatus result{typeOf(found.type()), 0, {}, false};
    if (result.type == FileType::Regular)
        result.size = std::filesystem::file_size(path, ec);
    if (!ec)
        result.modified = std::filesystem::last_write_time(path, ec);
    if (ec) {
        error = ec.message();
        return false;
    }
    const DWORD attributes = GetFileAttributesW(path.c_str());
    result.readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0
        && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    status = result;
    return true;
}

bool LocalFileSystem::list(const std::filesystem::path& folder, std::vector<FolderEntry>& entries, std::string& error)
{
    entries.clear();
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    for (const std::filesystem::directory_iterator end; !ec && it != end; it.increment(ec)) {
        FolderEntry entry{it->path().filename().string(), FileType::Missing, false};
        std::error_code typeError;
        const std::filesystem::file_status found = it->symlink_status(typeError);
        if (!typeError)
            entry.type = typeOf(found.type());
        const DWORD attributes = GetFileAttributesW(it->path().c_str());
        entry.hidden = attributes != INVALID_FILE_ATTRIBUTES
            && (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
        entries.push_back(std::move(entry));
    }
    if (ec) {
        error = ec.message();
        return false;
    }
    return true;
}

} // namespace quendral
