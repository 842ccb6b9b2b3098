#include "FaultyFileSystem.h"

#include <new>

namespace quendral::test {

namespace {

// Forwards to the real replacement file until its step is due to fail. A
// failed file is abandoned like a real one: destroying it uncommitted
// removes the temporary file.
class FaultyReplacementFile final : public ReplacementFile
{
public:
    FaultyReplacementFile(FaultyFileSystem& faults, std::unique_ptr<ReplacementFile> inner)
        : m_faults(faults), m_inner(std::move(inner))
    {
    }

    bool write(std::string_view bytes) override
    {
        if (m_faults.strikes(FileStep::Write)) {
            // A real disk often takes part of the bytes before it fails.
            m_inner->write(bytes.substr(0, bytes.size() / 2));
            return fail();
        }
        return m_inner->write(bytes);
    }

    bool flush() override { return m_faults.strikes(FileStep::Flush) ? fail() : m_inner->flush(); }

    bool commit() override { return m_faults.strikes(FileStep::Commit) ? fail() : m_inner->commit(); }

    std::string errorString() const override { return m_error.empty() ? m_inner->errorString() : m_error; }

private:
    bool fail()
    {
        m_error = m_faults.reason();
        return false;
    }

    FaultyFileSystem& m_faults;
    std::unique_ptr<ReplacementFile> m_inner;
    std::string m_error;
};

} // namespace

std::string_view stepName(FileStep step)
{
    switch (step) {
    case FileStep::Read: return "read";
    case FileStep::Create: return "create";
    case FileStep::Write: return "write";
    case FileStep::Flush: return "flush";
    case FileStep::Commit: return "commit";
    case FileStep::Lock: return "lock";
    case FileStep::Inspect: return "inspect";
    }
    return {};
}

void FaultyFileSystem::failAt(FileStep step, int occurrence, std::string reason)
{
    m_failingStep = step;
    m_failingOccurrence = occurrence;
    m_reason = std::move(reason);
    m_outOfMemory = false;
}

void FaultyFileSystem::runOutOfMemoryAt(FileStep step, int occurrence)
{
    failAt(step, occurrence);
    m_outOfMemory = true;
}

bool FaultyFileSystem::strikes(FileStep step)
{
    const int occurrence = ++m_counts[index(step)];
    if (step != m_failingStep || occurrence != m_failingOccurrence)
        return false;
    m_injected = true;
    if (m_outOfMemory)
        throw std::bad_alloc();
    return true;
}

bool FaultyFileSystem::readFile(const std::filesystem::path& path, std::string& data, std::string& error,
                                std::uintmax_t limit)
{
    if (strikes(FileStep::Read)) {
        error = m_reason;
        return false;
    }
    return m_inner.readFile(path, data, error, limit);
}

bool FaultyFileSystem::isReadOnly(const std::filesystem::path& path, bool& readOnly, std::string& error)
{
    if (strikes(FileStep::Inspect)) {
        error = m_reason;
        return false;
    }
    return m_inner.isReadOnly(path, readOnly, error);
}

std::unique_ptr<FileLock> FaultyFileSystem::lock(const std::filesystem::path& lockFile,
                                                 std::chrono::milliseconds patience, std::string& error)
{
    if (strikes(FileStep::Lock)) {
        error = m_reason;
        return nullptr;
    }
    return m_inner.lock(lockFile, patience, error);
}

std::unique_ptr<ReplacementFile> FaultyFileSystem::createReplacement(const std::filesystem::path& target,
                                                                     const std::filesystem::path& model,
                                                                     std::string& error)
{
    if (strikes(FileStep::Create)) {
        error = m_reason;
        return nullptr;
    }
    std::unique_ptr<ReplacementFile> inner = m_inner.createReplacement(target, model, error);
    if (!inner)
        return nullptr;
    return std::make_unique<FaultyReplacementFile>(*this, std::move(inner));
}

std::unique_ptr<ReplacementFile> FaultyFileSystem::createLink(const std::filesystem::path& target,
                                                              const std::filesystem::path& existing,
                                                              std::string& error, bool& unsupported)
{
    if (strikes(FileStep::Create)) {
        error = m_reason;
        unsupported = false;
        return nullptr;
    }
    std::unique_ptr<ReplacementFile> inner = m_inner.createLink(target, existing, error, unsupported);
    if (!inner)
        return nullptr;
    return std::make_unique<FaultyReplacementFile>(*this, std::move(inner));
}

bool FaultyFileSystem::createFolder(const std::filesystem::path& folder, const std::filesystem::path& model,
                                    std::string& error)
{
    if (strikes(FileStep::Create)) {
        error = m_reason;
        return false;
    }
    return m_inner.createFolder(folder, model, error);
}

} // namespace quendral::test
