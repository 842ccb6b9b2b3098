#include "carscript/LocalReplacementFile.h"

#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>

namespace quendral {

namespace {

std::string lastSystemError()
{
    return std::strerror(errno);
}

} // namespace

std::unique_ptr<ReplacementFile> LocalReplacementFile::adopt(const std::filesystem::path& target,
                                                             const std::filesystem::path& temporary, std::FILE* file)
{
    try {
        return std::make_unique<LocalReplacementFile>(target, temporary, file);
    } catch (...) {
        std::fclose(file);
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw;
    }
}

LocalReplacementFile::LocalReplacementFile(std::filesystem::path target, std::filesystem::path temporary,
                                           std::FILE* file)
    : m_target(std::move(target)), m_temporary(std::move(temporary)), m_file(file)
{
}

LocalReplacementFile::~LocalReplacementFile()
{
    if (m_file)
        std::fclose(m_file);
    if (!m_committed) {
        std::error_code ignored;
        std::filesystem::remove(m_temporary, ignored);
    }
}

bool LocalReplacementFile::write(std::string_view bytes)
{
    if (!m_file)
        return fail("the file is closed");
    if (std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size())
        return fail(lastSystemError());
    return true;
}

bool LocalReplacementFile::flush()
{
    if (!m_file)
        return fail("the file is closed");
    if (std::fflush(m_file) != 0 || !syncToDisk(m_file))
        return fail(lastSystemError());
    return true;
}

bool LocalReplacementFile::stage()
{
    if (!m_file)
        return fail("the file is closed");
    if (std::fflush(m_file) != 0 || !finishStage(m_file))
        return fail(lastSystemError());
    m_staged = true;
    return true;
}

// The owner and permissions were given when the file was made.
bool LocalReplacementFile::commit()
{
    if (!m_file)
        return fail("the file is closed");
    if (m_staged && !confirmStaged(m_file))
        return fail(lastSystemError());
    const int closed = std::fclose(m_file);
    m_file = nullptr;
    if (closed != 0)
        return fail(lastSystemError());

    std::string error;
    if (!moveIntoPlace(m_temporary, m_target, error, !m_staged))
        return fail(std::move(error));
    m_committed = true;
    return true;
}

bool LocalReplacementFile::fail(std::string reason)
{
    m_error = std::move(reason);
    return false;
}

} // namespace quendral
