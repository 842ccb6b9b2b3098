#pragma once

#include "carscript/FileSystem.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace quendral::test {

// The steps of the file layer that a test can make fail.
enum class FileStep { Read, Create, Write, Flush, Commit };
inline constexpr std::array<FileStep, 5> FileSteps = {FileStep::Read, FileStep::Create, FileStep::Write,
                                                      FileStep::Flush, FileStep::Commit};
std::string_view stepName(FileStep step);

// Passes every file operation on to another file system, counting each
// step, and makes the Nth occurrence of one chosen step fail the way the
// machine would report it. CI runs as root, where permission bits stop
// nothing, so this is how a save meets a failing disk on every path.
class FaultyFileSystem final : public FileSystem
{
public:
    explicit FaultyFileSystem(FileSystem& inner) : m_inner(inner) {}

    // Makes the `occurrence`th `step` (counted from 1) fail with `reason`.
    void failAt(FileStep step, int occurrence, std::string reason = "Input/output error");

    // How often a step has been taken, the failing one included.
    int count(FileStep step) const { return m_counts[index(step)]; }
    bool failureInjected() const { return m_injected; }

    bool readFile(const std::filesystem::path& path, std::string& data, std::string& error) override;
    std::unique_ptr<ReplacementFile> createReplacement(const std::filesystem::path& target,
                                                       std::string& error) override;

    // Counts the step and answers whether it is the one to fail.
    bool strikes(FileStep step);
    const std::string& reason() const { return m_reason; }

private:
    static std::size_t index(FileStep step) { return static_cast<std::size_t>(step); }

    FileSystem& m_inner;
    std::array<int, FileSteps.size()> m_counts{};
    FileStep m_failingStep = FileStep::Read;
    int m_failingOccurrence = 0;
    bool m_injected = false;
    std::string m_reason;
};

} // namespace quendral::test
