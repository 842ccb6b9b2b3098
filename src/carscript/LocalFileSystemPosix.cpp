#include "carscript/LocalFileSystem.h"

#include "carscript/LocalReplacementFile.h"
#include "carscript/PosixOwnership.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <system_error>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quendral {

namespace {

std::string lastSystemError()
{
    return std::strerror(errno);
}

FileType typeOf(mode_t mode)
{
    if (S_ISREG(mode))
        return FileType::Regular;
    if (S_ISDIR(mode))
        return FileType::Folder;
    return S_ISLNK(mode) ? FileType::Link : FileType::Other;
}

} // namespace

namespace {

// Closes the descriptor it holds, however the function that opened it ends.
class Descriptor
{
public:
    explicit Descriptor(int descriptor) : m_descriptor(descriptor) {}
    ~Descriptor()
    {
        if (m_descriptor != -1)
            close(m_descriptor);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return m_descriptor; }
    int release() { return std::exchange(m_descriptor, -1); }

private:
    int m_descriptor;
};

class PosixLock final : public FileLock
{
public:
    explicit PosixLock(int descriptor) : m_descriptor(descriptor) {}
    // Closing the file lets go of the lock.
    ~PosixLock() override { close(m_descriptor); }

private:
    int m_descriptor;
};

// Opens a file to read; a symbolic link only where what it leads to has the
// link's owner, the rule Linux's protected_symlinks applies in sticky
// folders. What was opened is judged by fstat, so that a link changed
// meanwhile cannot slip another file through.
int openFollowingOwnLinks(const std::filesystem::path& path, std::string& error)
{
    constexpr int Flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;
    const int direct = open(path.c_str(), Flags | O_NOFOLLOW);
    if (direct != -1 || errno != ELOOP) {
        if (direct == -1)
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
    if (file.get() == -1 || fstat(file.get(), &target) != 0) {
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

// A regular file opened to read, or a folder, whose read() names the
// reason it cannot be read.
int openForReading(const std::filesystem::path& path, struct stat& status, std::string& error)
{
    // Not blocking: a script that is a pipe must not hang the editor until
    // something writes to it. Regular files are not affected.
    Descriptor file(openFollowingOwnLinks(path, error));
    if (file.get() == -1)
        return -1;
    if (fstat(file.get(), &status) != 0) {
        error = lastSystemError();
        return -1;
    }
    if (!S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode)) {
        error = "not a regular file";
        return -1;
    }
    return file.release();
}

class PosixReader final : public FileReader
{
public:
    explicit PosixReader(int descriptor) : m_file(descriptor) {}

    std::optional<std::size_t> read(char* room, std::size_t size) override
    {
        while (true) {
            const ssize_t count = ::read(m_file.get(), room, size);
            if (count >= 0)
                return static_cast<std::size_t>(count);
            if (errno != EINTR) {
                m_error = lastSystemError();
                return std::nullopt;
            }
        }
    }
    std::string errorString() const override { return m_error; }

private:
    Descriptor m_file;
    std::string m_error;
};

} // namespace

// Reads with read() straight into the string, sized from the file's size:
// no copy through a chunk buffer. A file that grows meanwhile is read to
// its end all the same, up to the limit.
bool LocalFileSystem::readFile(const std::filesystem::path& path, std::string& data, std::string& error,
                               std::uintmax_t limit)
{
    struct stat status
    {
    };
    const int opened = openForReading(path, status, error);
    if (opened == -1)
        return false;
    PosixReader file(opened);
    std::size_t expected = 0;
    if (S_ISREG(status.st_mode)) {
        if (static_cast<std::uintmax_t>(status.st_size) > limit) {
            error = tooLarge(static_cast<std::uintmax_t>(status.st_size), limit);
            return false;
        }
        expected = static_cast<std::size_t>(status.st_size);
    }
    return readToEnd(file, expected, limit, data, error);
}

std::unique_ptr<FileReader> LocalFileSystem::openToRead(const std::filesystem::path& path, std::string& error)
{
    struct stat status
    {
    };
    const int opened = openForReading(path, status, error);
    if (opened == -1)
        return nullptr;
    return std::make_unique<PosixReader>(opened);
}

bool LocalFileSystem::isReadOnly(const std::filesystem::path& path, bool& readOnly, std::string& error)
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

std::unique_ptr<FileLock> LocalFileSystem::lock(const std::filesystem::path& lockFile,
                                                std::chrono::milliseconds patience, std::string& error)
{
    // Not through a link: that would make the empty file wherever it points.
    // Not blocking: a pipe in its place must not hang the save.
    Descriptor file(open(lockFile.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644));
    if (file.get() == -1) {
        error = lastSystemError();
        return nullptr;
    }
    shareLockFile(file.get(), lockFile.parent_path());

    return lockWhenTaken<PosixLock>(file, patience, error, [&] {
        if (flock(file.get(), LOCK_EX | LOCK_NB) == 0)
            return LockAttempt::Taken;
        if (errno == EINTR)
            return LockAttempt::Interrupted;
        if (errno == EWOULDBLOCK)
            return LockAttempt::Held;
        error = lastSystemError();
        return LockAttempt::Failed;
    });
}

std::unique_ptr<ReplacementFile> LocalFileSystem::createReplacement(const std::filesystem::path& target,
                                                                    const std::filesystem::path& model,
                                                                    std::string& error)
{
    std::optional<PosixAttributes> attributes;
    if (!attributesOf(model, attributes, error))
        return nullptr;

    const std::filesystem::path folder = target.parent_path();
    const std::string prefix = replacementPrefix(target);
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::filesystem::path temporary = folder / (prefix + randomSuffix());
        // O_EXCL: fails rather than opening a file that is already there.
        // Private until it has the model's owner and permissions.
        Descriptor file(open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, attributes ? 0600 : 0666));
        if (file.get() == -1) {
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
        return LocalReplacementFile::adopt(target, temporary, stream);
    }
    error = lastSystemError();
    return nullptr;
}

bool LocalFileSystem::createFolder(const std::filesystem::path& folder, const std::filesystem::path& model,
                                   std::string& error)
{
    std::error_code ec;
    if (std::filesystem::create_directory(folder, ec)) {
        giveFolderAttributes(folder, model);
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

bool LocalFileSystem::status(const std::filesystem::path& path, FileStatus& status, std::string& error, Links links)
{
    struct stat info
    {
    };
    if ((links == Links::Followed ? stat(path.c_str(), &info) : lstat(path.c_str(), &info)) != 0) {
        if (errno != ENOENT && errno != ENOTDIR) {
            error = lastSystemError();
            return false;
        }
        status = FileStatus{};
        return true;
    }
    using namespace std::chrono;
    const sys_time<nanoseconds> modified{seconds(info.st_mtim.tv_sec) + nanoseconds(info.st_mtim.tv_nsec)};
    status = FileStatus{typeOf(info.st_mode), static_cast<std::uintmax_t>(info.st_size), file_clock::from_sys(modified),
                        (info.st_mode & S_IWUSR) == 0};
    return true;
}

// With readdir rather than a directory iterator: the entry types come with
// the names, and no path is built for an entry. On a racers folder of
// 10,000 cars building a path for every entry took most of the scan's time
// and memory.
bool LocalFileSystem::list(const std::filesystem::path& folder, std::vector<FolderEntry>& entries, std::string& error)
{
    entries.clear();
    DIR* directory = opendir(folder.c_str());
    if (!directory) {
        error = lastSystemError();
        return false;
    }
    while (true) {
        errno = 0;
        const dirent* entry = readdir(directory);
        if (!entry)
            break;
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        FileType type = entry->d_type == DT_REG ? FileType::Regular
            : entry->d_type == DT_DIR           ? FileType::Folder
            : entry->d_type == DT_LNK           ? FileType::Link
                                                : FileType::Other;
        if (entry->d_type == DT_UNKNOWN) {
            struct stat info
            {
            };
            type = fstatat(dirfd(directory), name, &info, AT_SYMLINK_NOFOLLOW) == 0 ? typeOf(info.st_mode)
                                                                                     : FileType::Missing;
        }
        entries.push_back(FolderEntry{name, type, false});
    }
    const int readError = errno;
    closedir(directory);
    if (readError != 0) {
        error = std::strerror(readError);
        return false;
    }
    return true;
}

bool LocalFileSystem::canWriteIn(const std::filesystem::path& folder)
{
    return access(folder.c_str(), W_OK) == 0;
}

bool LocalFileSystem::remove(const std::filesystem::path& path, std::string& error)
{
    std::error_code ec;
    std::filesystem::remove(path, ec);
    if (ec)
        error = ec.message();
    return !ec;
}

bool LocalFileSystem::syncFileSystems(const std::vector<std::filesystem::path>& paths, std::string& error)
{
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
        if (file.get() == -1 || syncfs(file.get()) != 0) {
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
}

} // namespace quendral
