#include "HistoryModel.h"

#include "Support.h"

#include "carscript/FileSystem.h"
#include "history/ScriptHistory.h"

#include <algorithm>

// quendral::historyClock() as the linker names it; the programs that shift
// it are linked with --wrap on it (quendral_shifted_clock).
quendral::HistoryTime realClock() __asm__("__real__ZN8quendral12historyClockEv");
quendral::HistoryTime shiftedClock() __asm__("__wrap__ZN8quendral12historyClockEv");

static std::chrono::milliseconds shift{0};

quendral::HistoryTime shiftedClock()
{
    return realClock() + shift;
}

namespace quendral::test {

void shiftHistoryClock(std::chrono::milliseconds by)
{
    shift += by;
}

HistoryModel HistoryModel::of(const std::filesystem::path& car)
{
    std::vector<HistoryEntry> entries;
    std::string error;
    HistoryModel model;
    readHistory(FileSystem::real(), car, entries, error);
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry)
        (entry->original ? model.original.emplace() : model.kept.emplace_back()) = readBytes(entry->path);
    return model;
}

bool HistoryModel::holds(const std::string& bytes) const
{
    return original == bytes || std::find(kept.begin(), kept.end(), bytes) != kept.end();
}

std::vector<HistoryModel> HistoryModel::throughSave(const std::optional<std::string>& script,
                                                    const std::optional<std::string>& backup,
                                                    const std::string& written) const
{
    std::vector<HistoryModel> states = {*this};
    HistoryModel next = *this;
    const auto keep = [&](const std::string& bytes) {
        if (!next.original && next.kept.empty())
            next.original = bytes;
        else
            next.kept.push_back(bytes);
        states.push_back(next);
    };
    if (backup && backup != script && !holds(*backup))
        keep(*backup);
    if (script && written != *script)
        keep(*script);
    if (next.kept.size() > KeptVersions) {
        next.kept.erase(next.kept.begin(), next.kept.end() - KeptVersions);
        states.push_back(next);
    }
    return states;
}

} // namespace quendral::test
