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

std::filesystem::path historyFolderPath(const std::filesystem::path& carFolder)
{
    return carFolder / "scripts" / "_main_history";
}

std::filesystem::path saveLockPath(const std::filesystem::path& carFolder)
{
    return carFolder / "scripts" / "._main_.cfg.lock";
}

bool isUtf16Text(std::string_view script)
{
    if (script.starts_with("\xFF\xFE") || script.starts_with("\xFE\xFF"))
        return true;
    if (script.size() < 2)
        return false;
    // Text without a mark: NUL in every even or every odd place, and
    // something else in the others (a file of NULs is no text at all).
    bool evenAllNul = true, oddAllNul = true, evenAnyByte = false, oddAnyByte = false;
    for (std::size_t i = 0; i < script.size(); ++i) {
        const bool nul = script[i] == '\0';
        if (i % 2 == 0) {
            evenAllNul = evenAllNul && nul;
            evenAnyByte = evenAnyByte || !nul;
        } else {
            oddAllNul = oddAllNul && nul;
            oddAnyByte = oddAnyByte || !nul;
        }
        if (!evenAllNul && !oddAllNul)
            return false;
    }
    return (evenAllNul && oddAnyByte) || (oddAllNul && evenAnyByte);
}

} // namespace quendral
