#include "editor/CarVersions.h"

#include <charconv>
#include <cstdio>
#include <ctime>
#include <limits>

namespace quendral {

std::optional<VersionName> parseVersionName(std::string_view text)
{
    using Kind = VersionName::Kind;
    for (const auto& [word, kind] : {std::pair{"current", Kind::Current}, std::pair{"backup", Kind::Backup},
                                     std::pair{"original", Kind::Original}})
        if (text == word)
            return VersionName{kind, 0};
    int number = 0;
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (end != text.data() + text.size() || text.front() == '0' || text.front() == '-')
        return std::nullopt;
    // A number too large to count is a version no history has, as any
    // number beyond the last is.
    if (problem == std::errc::result_out_of_range)
        return VersionName{Kind::Numbered, std::numeric_limits<int>::max(), std::string(text)};
    if (problem != std::errc() || number < 1)
        return std::nullopt;
    return VersionName{Kind::Numbered, number};
}

std::string versionText(const VersionName& name)
{
    switch (name.kind) {
    case VersionName::Kind::Current: return "current";
    case VersionName::Kind::Backup: return "backup";
    case VersionName::Kind::Original: return "original";
    case VersionName::Kind::Numbered: return name.spelled.empty() ? std::to_string(name.number) : name.spelled;
    case VersionName::Kind::Saved: break;
    }
    return "after the save";
}

std::string notEnoughMemoryToCompare(const Comparison& comparison)
{
    return "The versions " + comparison.from.label + " and " + comparison.to.label
         + " cannot be compared: there is not enough memory to compare them.";
}

std::string localTimeText(HistoryTime time)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}


} // namespace quendral
