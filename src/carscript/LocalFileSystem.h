#pragma once

#include "carscript/FileSystem.h"

#include <functional>
#include <memory>
#include <optional>

namespace quendral {

// The file system of the machine: LocalFileSystemPosix.cpp or
// LocalFileSystemWindows.cpp, with what both share in LocalFileSystem.cpp.
class LocalFileSystem final : public FileSystem
{
public:
    bool readFile(const std::filesystem::path& path, std::string& data, std::string& error,
                  std::uintmax_t limit) override;
    std::unique_ptr<FileReader> openToRead(const std::filesystem::path& path, std::string& error) override;
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
    // The same, then the lock of the platform, `Lock`, takes over the file
    // opened to lock.
    template <typename Lock, typename File>
    static std::unique_ptr<FileLock> lockWhenTaken(File& file, std::chrono::milliseconds patience, std::string& error,
                                                   const std::function<LockAttempt()>& attempt)
    {
        if (!waitForLock(patience, error, attempt))
            return nullptr;
        auto held = std::make_unique<Lock>(file.get());
        file.release();
        return held;
    }
    // Reads `file` to its end into room for the bytes expected and one more,
    // so that reaching the end takes no second buffer, growing it up to one
    // byte past `limit`; then `data` takes the bytes read.
    static bool readToEnd(FileReader& file, std::size_t expected, std::uintmax_t limit, std::string& data,
                          std::string& error);
    static std::string tooLarge(std::uintmax_t size, std::uintmax_t limit);
    static std::string grewTooLarge(std::uintmax_t limit);
    // The name of a replacement of `target`, ".NAME.new-" and 12 random
    // hexadecimal digits.
    static std::string replacementPrefix(const std::filesystem::path& target);
    static std::string randomSuffix();
};

} // namespace quendral
