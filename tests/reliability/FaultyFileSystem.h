#pragma once

#include "carscript/FileSystem.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace quendral::test {

// The steps of the file layer that a test can make fail.
enum class FileStep { Read, Create, Write, Flush, Commit, Lock, Inspect };
inline constexpr std::array<FileStep, 7> FileSteps = {FileStep::Read,   FileStep::Create, FileStep::Write,
                                                      FileStep::Flush,  FileStep::Commit, FileStep::Lock,
                                                      FileStep::Inspect};
std::string_view stepName(FileStep step);

// Passes every file operation on to another file system, counting each
// step, and makes the Nth occurrence of one chosen step fail the way the
// machine would report it, or run out of memory there. CI runs as root,
// where permission bits stop nothing, so this is how a save meets a
// failing disk on every path.
class FaultyFileSystem final : public FileSystem
{
public:
    explicit FaultyFileSystem(FileSystem& inner) : m_inner(inner) {}

    // Makes the `occurrence`th `step` (counted from 1) fail with `reason`.
    void failAt(FileStep step, int occurrence, std::string reason = "Input/output error");
    // Makes it throw std::bad_alloc instead, as an allocation there would.
    void runOutOfMemoryAt(FileStep step, int occurrence);

    // How often a step has been taken, the failing one included.
    int count(FileStep step) const { return m_counts[index(step)]; }
    bool failureInjected() const { return m_injected; }

    bool readFile(const std::filesystem::path& path, std::string& data, std::string& error,
                  std::uintmax_t limit) override;
    bool isReadOnly(const std::filesystem::path& path, bool& readOnly, std::string& error) override;
    std::unique_ptr<FileLock> lock(const std::filesystem::path& lockFile, std::chrono::milliseconds patience,
                                   std::string& error) override;
    std::unique_ptr<ReplacementFile> createReplacement(const std::filesystem::path& target,
                                                       const std::filesystem::path& model,
                                                       std::string& error) override;
    // A link and a folder are made like a file: a create step.
    std::unique_ptr<ReplacementFile> createLink(const std::filesystem::path& target,
                                                const std::filesystem::path& existing, std::string& error,
                                                bool& unsupported) override;
    bool createFolder(const std::filesystem::path& folder, const std::filesystem::path& model,
                      std::string& error) override;
    bool remove(const std::filesystem::path& path, std::string& error) override { return m_inner.remove(path, error); }
    void removeLeftovers(const std::filesystem::path& target) override { m_inner.removeLeftovers(target); }

    // Counts the step and answers whether it is the one to fail; throws
    // when it is to run out of memory.
    bool strikes(FileStep step);
    const std::string& reason() const { return m_reason; }

private:
    static std::size_t index(FileStep step) { return static_cast<std::size_t>(step); }

    FileSystem& m_inner;
    std::array<int, FileSteps.size()> m_counts{};
    FileStep m_failingStep = FileStep::Read;
    int m_failingOccurrence = 0;
    bool m_outOfMemory = false;
    bool m_injected = false;
    std::string m_reason;
};

} // namespace quendral::test
