#include "FaultyFileSystem.h"

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
    }
    return {};
}

void FaultyFileSystem::failAt(FileStep step, int occurrence, std::string reason)
{
    m_failingStep = step;
    m_failingOccurrence = occurrence;
    m_reason = std::move(reason);
}

bool FaultyFileSystem::strikes(FileStep step)
{
    const int occurrence = ++m_counts[index(step)];
    if (step != m_failingStep || occurrence != m_failingOccurrence)
        return false;
    m_injected = true;
    return true;
}

bool FaultyFileSystem::readFile(const std::filesystem::path& path, std::string& data, std::string& error)
{
    if (strikes(FileStep::Read)) {
        error = m_reason;
        return false;
    }
    return m_inner.readFile(path, data, error);
}

std::unique_ptr<ReplacementFile> FaultyFileSystem::createReplacement(const std::filesystem::path& target,
                                                                     std::string& error)
{
    if (strikes(FileStep::Create)) {
        error = m_reason;
        return nullptr;
    }
    std::unique_ptr<ReplacementFile> inner = m_inner.createReplacement(target, error);
    if (!inner)
        return nullptr;
    return std::make_unique<FaultyReplacementFile>(*this, std::move(inner));
}

} // namespace quendral::test
