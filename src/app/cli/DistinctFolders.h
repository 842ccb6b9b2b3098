#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quendral::cli {

// Car folders, each known however it is named: after links, "." and ".."
// are resolved, and on a volume that ignores letter case, in any case.
// Saving a car twice would leave the backup holding the first save's
// output, and the script as it stood before the command would be gone.
class DistinctFolders
{
public:
    // The number of the folder added before that is `folder`, or nothing
    // when none is; then `folder` is added as the next.
    std::optional<std::size_t> add(const std::filesystem::path& folder);

private:
    std::vector<std::filesystem::path> m_resolved;
    // On a volume that ignores letter case, two spellings of one folder
    // differ only in case: those pairs are put to the file system.
    std::map<std::string, std::vector<std::size_t>> m_byFoldedName;
};

} // namespace quendral::cli
