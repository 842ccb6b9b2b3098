#pragma once

#include "carscript/FileSystem.h"

namespace quendral {

// Passes every operation on to another file system: the base of a file
// system that changes a few of them and leaves the rest as they are.
class ForwardingFileSystem : public FileSystem
{
public:
    explicit ForwardingFileSystem(FileSystem& inner) : m_inner(inner) {}

    bool readFile(const std::filesystem::path& path, std::string& data, std::string& error,
                  std::uintmax_t limit) override
    {
        return m_inner.readFile(path, data, error, limit);
    }
    std::unique_ptr<FileReader> openToRead(const std::filesystem::path& path, std::string& error) override
    {
        return m_inner.openToRead(path, error);
    }
    bool isReadOnly(const std::filesystem::path& path, bool& readOnly, std::string& error) override
    {
        return m_inner.isReadOnly(path, readOnly, error);
    }
    bool status(const std::filesystem::path& path, FileStatus& status, std::string& error, Links links) override
    {
        return m_inner.status(path, status, error, links);
    }
    bool list(const std::filesystem::path& folder, std::vector<FolderEntry>& entries, std::string& error) override
    {
        return m_inner.list(folder, entries, error);
    }
    bool canWriteIn(const std::filesystem::path& folder) override { return m_inner.canWriteIn(folder); }
    std::unique_ptr<FileLock> lock(const std::filesystem::path& lockFile, std::chrono::milliseconds patience,
                                   std::string& error) override
    {
        return m_inner.lock(lockFile, patience, error);
    }
    std::unique_ptr<ReplacementFile> createReplacement(const std::filesystem::path& target,
                                                       const std::filesystem::path& model, std::string& error) override
    {
        return m_inner.createReplacement(target, model, error);
    }
    bool createFolder(const std::filesystem::path& folder, const std::filesystem::path& model,
                      std::string& error) override
    {
        return m_inner.createFolder(folder, model, error);
    }
    bool remove(const std::filesystem::path& path, std::string& error) override { return m_inner.remove(path, error); }
    bool syncFileSystems(const std::vector<std::filesystem::path>& paths, std::string& error) override
    {
        return m_inner.syncFileSystems(paths, error);
    }
    void removeLeftovers(const std::filesystem::path& target) override { m_inner.removeLeftovers(target); }

protected:
    FileSystem& inner() { return m_inner; }

private:
    FileSystem& m_inner;
};

} // namespace quendral
