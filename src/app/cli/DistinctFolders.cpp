#include "app/cli/DistinctFolders.h"

#include "catalogue/FolderListing.h"

#include <algorithm>

namespace quendral::cli {

namespace fs = std::filesystem;

std::optional<std::size_t> DistinctFolders::add(const fs::path& folder)
{
    std::error_code error;
    fs::path target = fs::weakly_canonical(folder, error);
    if (error)
        target = folder;
    std::vector<std::size_t>& alike = m_byFoldedName[foldCase(target.string())];
    const auto given = std::find_if(alike.begin(), alike.end(), [&](std::size_t i) {
        std::error_code ignored;
        return m_resolved[i] == target || fs::equivalent(m_resolved[i], target, ignored);
    });
    if (given != alike.end())
        return *given;
    alike.push_back(m_resolved.size());
    m_resolved.push_back(std::move(target));
    return std::nullopt;
}

} // namespace quendral::cli
