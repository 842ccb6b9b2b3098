#pragma once

#include "carscript/ByteSink.h"

#include <filesystem>
#include <memory>
#include <string>

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
    virtual std::string errorString() const = 0;
};

// The file operations of the editor, in one place so that every write takes
// the same safe path and tests can make any step fail.
class FileSystem
{
public:
    virtual ~FileSystem() = default;

    // Reads a whole file. Returns false with the reason when it cannot.
    virtual bool readFile(const std::filesystem::path& path, std::string& data, std::string& error);

    // Starts writing a file that will replace `target` (or create it). A
    // target that is a symbolic link is replaced by a regular file, never
    // written through. Returns nullptr with the reason when it cannot.
    virtual std::unique_ptr<ReplacementFile> createReplacement(const std::filesystem::path& target,
                                                               std::string& error);

    // The file system of the machine.
    static FileSystem& real();
};

} // namespace quendral
