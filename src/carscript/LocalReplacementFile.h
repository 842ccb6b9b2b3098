#pragma once

#include "carscript/FileSystem.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace quendral {

// A replacement on the machine's disk: a temporary file beside the target,
// renamed over it by commit() and removed when it is abandoned.
class LocalReplacementFile final : public ReplacementFile
{
public:
    // Hands an open temporary file to a replacement, or closes and removes
    // it when even that fails.
    static std::unique_ptr<ReplacementFile> adopt(const std::filesystem::path& target,
                                                  const std::filesystem::path& temporary, std::FILE* file);

    LocalReplacementFile(std::filesystem::path target, std::filesystem::path temporary, std::FILE* file);
    ~LocalReplacementFile() override;
    LocalReplacementFile(const LocalReplacementFile&) = delete;
    LocalReplacementFile& operator=(const LocalReplacementFile&) = delete;

    bool write(std::string_view bytes) override;
    bool flush() override;
    bool stage() override;
    bool commit() override;
    std::string errorString() const override { return m_error; }

private:
    // Each platform's own (LocalReplacementFilePosix.cpp,
    // LocalReplacementFileWindows.cpp).
    static bool syncToDisk(std::FILE* file);
    // What a staged file needs beyond being handed to the system.
    static bool finishStage(std::FILE* file);
    // Before a staged file is closed: whether its bytes reached the disk.
    static bool confirmStaged(std::FILE* file);
    // `durable`: the rename must reach the disk before it returns.
    static bool moveIntoPlace(const std::filesystem::path& temporary, const std::filesystem::path& target,
                              std::string& error, bool durable);

    bool fail(std::string reason);

    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    std::FILE* m_file;
    bool m_committed = false;
    bool m_staged = false;
    std::string m_error;
};

} // namespace quendral
