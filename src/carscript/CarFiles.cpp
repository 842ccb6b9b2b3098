#include "carscript/CarFiles.h"

namespace quendral {

std::filesystem::path carScriptPath(const std::filesystem::path& carFolder)
{
    return carFolder / "scripts" / "_main_.cfg";
}

std::filesystem::path backupScriptPath(const std::filesystem::path& carFolder)
{
    return carFolder / "scripts" / "_main_backup.cfg";
}

} // namespace quendral
