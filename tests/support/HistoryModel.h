#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quendral::test {

// A car's history as the rules of the saves make it, worked out without
// running them: the original and the other versions kept, oldest first.
struct HistoryModel
{
    std::optional<std::string> original;
    std::vector<std::string> kept;
    bool operator==(const HistoryModel&) const = default;
    bool holds(const std::string& bytes) const;

    // The history of a car on the disk, in the order of its names.
    static HistoryModel of(const std::filesystem::path& car);

    // The states a save passes through, from this one to its last, when it
    // finds `script` and `backup` (nothing: missing, or a link) and writes
    // `written`: the backup kept where no version holds it, the script
    // unless written again, the oldest pruned beyond the newest 50.
    std::vector<HistoryModel> throughSave(const std::optional<std::string>& script,
                                          const std::optional<std::string>& backup, const std::string& written) const;
};

// Moves the clock of the history away from the system's, in the programs
// linked with quendral_shifted_clock.
void shiftHistoryClock(std::chrono::milliseconds by);

} // namespace quendral::test
