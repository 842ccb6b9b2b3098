#include "carscript/LocalFileSystem.h"

#include "carscript/ByteCountText.h"
#include "carscript/LargeBuffer.h"

#include <algorithm>
#include <random>
#include <thread>

namespace quendral {

namespace {

std::string spanOf(std::chrono::milliseconds patience)
{
    if (patience.count() % 1000 == 0)
        return std::to_string(patience.count() / 1000) + " seconds";
    return std::to_string(patience.count()) + " milliseconds";
}

bool isReplacementName(const std::string& name, const std::string& prefix)
{
    return name.size() == prefix.size() + 12 && name.starts_with(prefix)
        && std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

} // namespace

FileSystem& FileSystem::real()
{
    static LocalFileSystem fileSystem;
    return fileSystem;
}

void LocalFileSystem::removeLeftovers(const std::filesystem::path& target)
{
    const std::string prefix = replacementPrefix(target);
    const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    std::vector<FolderEntry> entries;
    std::string ignored;
    list(folder, entries, ignored);
    for (const FolderEntry& entry : entries) {
        // A folder of that name is none of ours.
        if (isReplacementName(entry.name, prefix) && entry.type != FileType::Folder)
            remove(folder / entry.name, ignored);
    }
}

std::string LocalFileSystem::tooLarge(std::uintmax_t size, std::uintmax_t limit)
{
    std::string text = "it is " + byteCountText(size) + " long, over the limit of " + byteCountText(limit);
    if (limit % (1u << 20) == 0)
        text += " (" + std::to_string(limit >> 20) + " MiB)";
    return text;
}

std::string LocalFileSystem::grewTooLarge(std::uintmax_t limit)
{
    return "it grew past the limit of " + byteCountText(limit) + " while it was read";
}

bool LocalFileSystem::readToEnd(FileReader& file, std::size_t expected, std::uintmax_t limit, std::string& data,
                                std::string& error)
{
    std::string contents;
    reserveLarge(contents, expected + 1);
    contents.resize(expected + 1);
    std::size_t used = 0;
    while (true) {
        if (used == contents.size()) {
            const std::uintmax_t grown = contents.size() + std::max<std::size_t>(contents.size(), 64 * 1024);
            contents.resize(static_cast<std::size_t>(std::min(grown, limit + 1)));
        }
        const std::optional<std::size_t> count = file.read(contents.data() + used, contents.size() - used);
        if (!count) {
            error = file.errorString();
            return false;
        }
        if (*count == 0)
            break;
        used += *count;
        if (used > limit) {
            error = grewTooLarge(limit);
            return false;
        }
    }
    contents.resize(used);
    data = std::move(contents);
    return true;
}

bool LocalFileSystem::waitForLock(std::chrono::milliseconds patience, std::string& error,
                                  const std::function<LockAttempt()>& attempt)
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (true) {
        const LockAttempt result = attempt();
        if (result == LockAttempt::Taken || result == LockAttempt::Failed)
            return result == LockAttempt::Taken;
        if (result == LockAttempt::Interrupted)
            continue;
        if (std::chrono::steady_clock::now() >= deadline) {
            error = "another process has held it for more than " + spanOf(patience);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::string LocalFileSystem::replacementPrefix(const std::filesystem::path& target)
{
    // Built by appending: GCC 12 at -O3 gives a false -Wrestrict warning
    // for "." + std::string&&.
    std::string prefix = ".";
    prefix += target.filename().string();
    prefix += ".new-";
    return prefix;
}

std::string LocalFileSystem::randomSuffix()
{
    static std::mt19937_64 generator{std::random_device{}()};
    static const char digits[] = "0123456789abcdef";
    std::uint64_t bits = generator();
    std::string suffix(12, '0');
    for (char& c : suffix) {
        c = digits[bits & 0xf];
        bits >>= 4;
    }
    return suffix;
}

} // namespace quendral
