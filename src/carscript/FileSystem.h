#pragma once

#include "carscript/ByteSink.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quendral {

// A file being written beside the file it will replace. Nothing is visible
// at the target until commit() renames it into place; destroying it without
// a commit removes it and leaves the target as it was.
class ReplacementFile : public ByteSink
{
public:
    // Forces the written bytes to the disk.
    virtual bool flush() = 0;
    // Replaces the target with the written file.
    virtual bool commit() = 0;
    // Hands the written bytes to the system without waiting for the disk,
    // for a caller that saves many files: it makes them durable together
    // with FileSystem::syncFileSystems() before it commits them, and their
    // renames with another after, since commit() then waits for nothing
    // either. Where that cannot be done it is a flush().
    virtual bool stage() { return flush(); }
    virtual std::string errorString() const = 0;
};

// A file open to be read from its start, a piece at a time.
class FileReader
{
public:
    virtual ~FileReader() = default;
    // Reads at most `size` bytes into `room`: the count read, 0 at the end
    // of the file; nothing once errorString() can tell why not.
    virtual std::optional<std::size_t> read(char* room, std::size_t size) = 0;
    virtual std::string errorString() const = 0;
};

// An advisory lock on a file, held until it is destroyed (or its process
// ends). It keeps out only those who take the same lock.
class FileLock
{
public:
    virtual ~FileLock() = default;
};

// What a path names, its link not followed unless asked.
enum class FileType { Missing, Regular, Folder, Link, Other };

enum class Links { NotFollowed, Followed };

struct FileStatus
{
    FileType type = FileType::Missing;
    // Of a regular file.
    std::uintmax_t size = 0;
    std::filesystem::file_time_type modified{};
    // Its owner may not write it (on Windows: a file, not a folder, with
    // the read-only attribute).
    bool readOnly = false;
};

// One name in a folder. Its type is that of the entry itself, a link not
// followed; an entry that went while the folder was read is Missing.
struct FolderEntry
{
    std::string name;
    FileType type = FileType::Missing;
    // Hidden or a system file by its attributes (on Windows; elsewhere a
    // leading dot is what hides a name).
    bool hidden = false;
};

// The file operations of the editor, in one place so that every write takes
// the same safe path and tests can make any step fail.
class FileSystem
{
public:
    virtual ~FileSystem() = default;

    // Reads a whole file of at most `limit` bytes. A larger one is refused
    // before anything is read, so that it costs no memory. A symbolic link
    // is followed only to a file of the link's own owner: root must not copy
    // a file of its own into a folder a user reads because the user put a
    // link there. Returns false with the reason when it cannot.
    virtual bool readFile(const std::filesystem::path& path, std::string& data, std::string& error,
                          std::uintmax_t limit) = 0;

    // Opens a file to read it a piece at a time, following a link as
    // readFile() does (a folder fails at its first read). Returns nullptr
    // with the reason when it cannot.
    virtual std::unique_ptr<FileReader> openToRead(const std::filesystem::path& path, std::string& error) = 0;

    // Tells whether `path` is a regular file that its owner may not write
    // (on Windows: one with the read-only attribute), whoever asks. A
    // missing file is not, nor is a link: a link is replaced, never written
    // through. Returns false with the reason when it cannot tell.
    virtual bool isReadOnly(const std::filesystem::path& path, bool& readOnly, std::string& error) = 0;

    // What `path` is, with its size and time. A missing path, or one under a
    // file, is Missing; false with the reason when it cannot be examined.
    virtual bool status(const std::filesystem::path& path, FileStatus& status, std::string& error, Links links) = 0;

    // The entries of `folder`, "." and ".." left out, in no order. Returns
    // false with the reason when it cannot be read to its end.
    virtual bool list(const std::filesystem::path& folder, std::vector<FolderEntry>& entries, std::string& error) = 0;

    // Whether this process may make files in `folder` (on Windows, where a
    // folder's read-only attribute means nothing: yes).
    virtual bool canWriteIn(const std::filesystem::path& folder) = 0;

    // Takes an exclusive lock on `lockFile`, made empty when missing,
    // waiting at most `patience` for whoever holds it. Returns nullptr with
    // the reason when it cannot.
    virtual std::unique_ptr<FileLock> lock(const std::filesystem::path& lockFile,
                                           std::chrono::milliseconds patience, std::string& error) = 0;

    // Starts writing a file that will replace `target` (or create it). It
    // gets the owner, group and permissions of `model` from the start (of a
    // link in `model`'s place: the link's owner and group, the permissions
    // of what it points to), or those of any new file when `model` is
    // missing. An owner who may not give the model's group (one it is not
    // in) gets its own, with the group's permissions cut to those of
    // others; when the owner cannot be given it is not created. A target that
    // is a symbolic link is replaced by a regular file, never written
    // through. Returns nullptr with the reason when it cannot.
    virtual std::unique_ptr<ReplacementFile> createReplacement(const std::filesystem::path& target,
                                                               const std::filesystem::path& model,
                                                               std::string& error) = 0;

    // Makes a folder, whose parent must exist, unless it is there already;
    // it takes the owner, group and permissions of `model` (a folder) where
    // they can be given. Returns false with the reason when it cannot, as
    // when a file stands in its place.
    virtual bool createFolder(const std::filesystem::path& folder, const std::filesystem::path& model,
                              std::string& error) = 0;

    // Removes a file or an empty folder; a missing one is no failure.
    virtual bool remove(const std::filesystem::path& path, std::string& error) = 0;

    // Forces to the disk everything written to the file systems that hold
    // `paths`, each file system once (on Windows, where a staged file has
    // been flushed on its own, nothing). Returns false with the reason when
    // the system reports that something could not be written.
    virtual bool syncFileSystems(const std::vector<std::filesystem::path>& paths, std::string& error) = 0;

    // Removes what replacements of `target` left beside it when their
    // process was killed. Only for a caller that holds the lock all writers
    // of `target` take: a replacement under way would be removed too.
    virtual void removeLeftovers(const std::filesystem::path& target) = 0;

    // The file system of the machine.
    static FileSystem& real();
};

} // namespace quendral
