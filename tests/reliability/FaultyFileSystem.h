#pragma once

#include "carscript/ForwardingFileSystem.h"

#include <array>
#include <csignal>
#include <new>

namespace quendral::test {

// The steps of the file layer that a test can make fail.
enum class FileStep { Read, Create, Write, Flush, Commit, Lock, Inspect };
inline constexpr const char* StepNames[] = {"read", "create", "write", "flush", "commit", "lock", "inspect"};

// Passes every file operation on to the real file system, counting each
// step, and makes the Nth occurrence of one chosen step fail as the machine
// would report it, or run out of memory there. CI runs as root, where
// permission bits stop nothing: this is how a save meets a failing disk on
// every path.
class FaultyFileSystem final : public ForwardingFileSystem
{
public:
    FaultyFileSystem(FileStep step = FileStep::Read, int occurrence = 0, bool outOfMemory = false)
        : ForwardingFileSystem(real()), m_step(step), m_occurrence(occurrence), m_outOfMemory(outOfMemory)
    {
    }
    int count(FileStep step) const { return m_counts[static_cast<std::size_t>(step)]; }
    bool injected() const { return m_injected; }

    // Counts the step and answers whether it is the one to fail.
    bool strikes(FileStep step, std::string& error)
    {
        if (++m_counts[static_cast<std::size_t>(step)] != m_occurrence || step != m_step)
            return false;
        m_injected = true;
        if (kill)
            std::raise(SIGKILL);
        if (m_outOfMemory)
            throw std::bad_alloc();
        error = "No space left on device";
        return true;
    }

    bool readFile(const std::filesystem::path& path, std::string& data, std::string& error,
                  std::uintmax_t limit) override
    {
        return !strikes(FileStep::Read, error) && inner().readFile(path, data, error, limit);
    }
    std::unique_ptr<FileReader> openToRead(const std::filesystem::path& path, std::string& error) override
    {
        return strikes(FileStep::Read, error) ? nullptr : inner().openToRead(path, error);
    }
    bool isReadOnly(const std::filesystem::path& path, bool& readOnly, std::string& error) override
    {
        return !strikes(FileStep::Inspect, error) && inner().isReadOnly(path, readOnly, error);
    }
    std::unique_ptr<FileLock> lock(const std::filesystem::path& file, std::chrono::milliseconds patience,
                                   std::string& error) override
    {
        return strikes(FileStep::Lock, error) ? nullptr : inner().lock(file, patience, error);
    }
    // A folder that cannot be read, as one the user may not read.
    bool list(const std::filesystem::path& folder, std::vector<FolderEntry>& entries, std::string& error) override
    {
        if (folder == unreadable)
            error = "Permission denied";
        return folder != unreadable && inner().list(folder, entries, error);
    }
    std::unique_ptr<ReplacementFile> createReplacement(const std::filesystem::path& target,
                                                       const std::filesystem::path& model, std::string& error) override
    {
        auto file = strikes(FileStep::Create, error) ? nullptr : inner().createReplacement(target, model, error);
        return file ? std::make_unique<Replacement>(*this, std::move(file)) : nullptr;
    }
    // A folder is made like a file: a create step.
    bool createFolder(const std::filesystem::path& folder, const std::filesystem::path& model,
                      std::string& error) override
    {
        return !strikes(FileStep::Create, error) && inner().createFolder(folder, model, error);
    }
    // A failed flush of a whole file system is no step of one car: it fails
    // only when asked to, and each file's own flush then tells the cars apart.
    bool syncFileSystems(const std::vector<std::filesystem::path>& paths, std::string& error) override
    {
        syncedCommits = count(FileStep::Commit);
        if (failSyncs)
            error = "Input/output error";
        return !failSyncs && inner().syncFileSystems(paths, error);
    }
    bool failSyncs = false;
    int syncedCommits = -1;  // the commits made before the last sync
    std::filesystem::path unreadable;
    // The process is killed at the step instead, leaving all as it was then.
    bool kill = false;

private:
    // Forwards to the real file until its step is due to fail; a failed
    // file is abandoned like a real one, which removes its temporary file.
    struct Replacement final : ReplacementFile
    {
        Replacement(FaultyFileSystem& faults, std::unique_ptr<ReplacementFile> inner)
            : faults(faults), inner(std::move(inner))
        {
        }
        bool write(std::string_view bytes) override
        {
            if (!faults.strikes(FileStep::Write, error))
                return inner->write(bytes);
            inner->write(bytes.substr(0, bytes.size() / 2));  // a disk often takes a part first
            return false;
        }
        bool flush() override { return !faults.strikes(FileStep::Flush, error) && inner->flush(); }
        bool stage() override { return !faults.strikes(FileStep::Flush, error) && inner->stage(); }
        bool commit() override { return !faults.strikes(FileStep::Commit, error) && inner->commit(); }
        std::string errorString() const override { return error.empty() ? inner->errorString() : error; }

        FaultyFileSystem& faults;
        std::unique_ptr<ReplacementFile> inner;
        std::string error;
    };

    std::array<int, 7> m_counts{};
    FileStep m_step;
    int m_occurrence;
    bool m_outOfMemory;
    bool m_injected = false;
};

} // namespace quendral::test
