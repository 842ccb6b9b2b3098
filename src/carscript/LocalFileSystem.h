#pragma once

#include "carscript/FileSystem.h"

#include <functional>

namespace quendral {

// The file system of the machine: LocalFileSystemPosix.cpp or
// LocalFileSystemWindows.cpp, with what both share in LocalFileSystem.cpp.
class LocalFileSystem final : public FileSystem
{
public:
    bool readFile(const std::filesystem::path& path, std::string& data, std::string& error,
                  std::uintmax_t limit) override;
    bool isReadOnly(const std::filesystem::path& path, bool& readOnly, std::string& error) override;
    bool status(const std::filesystem::path& path, FileStatus& status, std::string& error, Links links) override;
    bool list(const std::filesystem::path& folder, std::vector<FolderEntry>& entries, std::string& error) override;
    bool canWriteIn(const std::filesystem::path& folder) override;
    std::unique_ptr<FileLock> lock(const std::filesystem::path& lockFile, std::chrono::milliseconds patience,
                                   std::string& error) override;
    std::unique_ptr<ReplacementFile> createReplacement(const std::filesystem::path& target,
                                                       const std::filesystem::path& model, std::string& error) override;
    bool createFolder(const std::filesystem::path& folder, const std::filesystem::path& model,
                      std::string& error) override;
    bool remove(const std::filesystem::path& path, std::string& error) override;
    bool syncFileSystems(const std::vector<std::filesystem::path>& paths, std::string& error) override;
    void removeLeftovers(const std::filesystem::path& target) override;

private:
    enum class LockAttempt { Taken, Held, Interrupted, Failed };
    // Makes `attempt` every 10 ms until it takes the lock, fails (with the
    // reason in `error`) or has found it held for longer than `patience`.
    static bool waitForLock(std::chrono::milliseconds patience, std::string& error,
                            const std::function<LockAttempt()>& attempt);
    static std::string tooLarge(std::uintmax_t size, std::uintmax_t limit);
    static std::string grewTooLarge(std::uintmax_t limit);
    // The name of a replacement of `target`, ".NAME.new-" and 12 random
    // hexadecimal digits.
    static std::string replacementPrefix(const std::filesystem::path& target);
    static std::string randomSuffix();
};

} // namespace quendral
