#include "history/LineDiff.h"

#include <dtl/dtl.hpp>

#include <algorithm>
#include <array>
#include <cstddef>
#include <unordered_map>

namespace quendral {

namespace {

constexpr std::ptrdiff_t Context = 3;

enum class End { None, Lf, CrLf, Cr };

struct Lines
{
    std::vector<std::string_view> texts;
    // The line ends met, by End; and whether the last line has none.
    std::array<bool, 4> ends{};
    bool lastUnended = false;
};

// Splits at LF, CR LF and a lone CR, as the field reader does; each line
// with its end where `withEnds`.
Lines splitLines(std::string_view text, bool withEnds)
{
    Lines lines;
    std::size_t start = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '\n' && text[at] != '\r')
            continue;
        End end = text[at] == '\n' ? End::Lf : End::Cr;
        const std::size_t length = at - start;
        if (end == End::Cr && at + 1 < text.size() && text[at + 1] == '\n') {
            end = End::CrLf;
            ++at;
        }
        lines.texts.push_back(text.substr(start, withEnds ? at + 1 - start : length));
        lines.ends[static_cast<std::size_t>(end)] = true;
        start = at + 1;
    }
    if (start < text.size()) {
        lines.texts.push_back(text.substr(start));
        lines.lastUnended = true;
    }
    return lines;
}

std::string lineEnds(const Lines& lines)
{
    static constexpr std::array<const char*, 4> Names = {"", "LF", "CR LF", "CR"};
    std::string style;
    for (std::size_t end = 1; end < Names.size(); ++end)
        if (lines.ends[end])
            style = style.empty() ? Names[end] : "mixed";
    if (lines.lastUnended)
        style += style.empty() ? "none" : ", none after the last line";
    return style;
}

std::string range(std::ptrdiff_t start, std::ptrdiff_t count)
{
    return count == 1 ? std::to_string(start) : std::to_string(start) + "," + std::to_string(count);
}

struct Step
{
    LineDiff::Kind kind;
    std::string_view text;
};

// The edit script in hunks: changes with no more than twice the context
// between them share a hunk. A hunk that takes no line of one side starts
// after the line it follows, as `diff` writes it.
void addHunks(const std::vector<Step>& steps, LineDiff& diff)
{
    const auto count = static_cast<std::ptrdiff_t>(steps.size());
    std::vector<std::ptrdiff_t> oldBefore(steps.size() + 1, 0);
    std::vector<std::ptrdiff_t> newBefore(steps.size() + 1, 0);
    for (std::ptrdiff_t i = 0; i < count; ++i) {
        const LineDiff::Kind kind = steps[static_cast<std::size_t>(i)].kind;
        oldBefore[static_cast<std::size_t>(i + 1)] = oldBefore[static_cast<std::size_t>(i)] + (kind != LineDiff::Kind::Added);
        newBefore[static_cast<std::size_t>(i + 1)] = newBefore[static_cast<std::size_t>(i)] + (kind != LineDiff::Kind::Removed);
    }
    const auto isChange = [&](std::ptrdiff_t i) { return steps[static_cast<std::size_t>(i)].kind != LineDiff::Kind::Context; };

    std::ptrdiff_t next = 0;
    while (true) {
        std::ptrdiff_t change = next;
        while (change < count && !isChange(change))
            ++change;
        if (change == count)
            return;
        std::ptrdiff_t last = change;
        for (std::ptrdiff_t i = change + 1; i < count && i - last <= 2 * Context; ++i)
            if (isChange(i))
                last = i;
        const std::ptrdiff_t begin = std::max(next, change - Context);
        const std::ptrdiff_t end = std::min(count, last + 1 + Context);
        const auto b = static_cast<std::size_t>(begin);
        const auto e = static_cast<std::size_t>(end);
        const std::ptrdiff_t oldCount = oldBefore[e] - oldBefore[b];
        const std::ptrdiff_t newCount = newBefore[e] - newBefore[b];
        diff.lines.push_back({LineDiff::Kind::Hunk, "@@ -" + range(oldBefore[b] + (oldCount > 0), oldCount) + " +"
                                                        + range(newBefore[b] + (newCount > 0), newCount) + " @@"});
        for (std::size_t i = b; i < e; ++i)
            diff.lines.push_back({steps[i].kind, std::string(steps[i].text)});
        next = end;
    }
}

} // namespace

namespace {

LineDiff diffOf(std::string_view from, std::string_view to, bool withEnds)
{
    LineDiff diff;
    diff.endsKept = withEnds;
    const Lines before = splitLines(from, withEnds);
    const Lines after = splitLines(to, withEnds);
    if (!before.texts.empty() && !after.texts.empty() && lineEnds(before) != lineEnds(after))
        diff.notes.push_back("line ends: " + lineEnds(before) + " → " + lineEnds(after));

    // Each distinct line becomes a number, so that the diff compares
    // numbers, not texts: a script of millions of lines holds few distinct ones.
    std::unordered_map<std::string_view, int> numbers;
    std::array<std::vector<int>, 2> numbered;
    const std::array<const Lines*, 2> sides = {&before, &after};
    for (std::size_t side = 0; side < 2; ++side) {
        numbered[side].reserve(sides[side]->texts.size());
        for (const std::string_view text : sides[side]->texts)
            numbered[side].push_back(numbers.try_emplace(text, static_cast<int>(numbers.size())).first->second);
    }
    numbers = {};
    dtl::Diff<int, std::vector<int>> script(numbered[0], numbered[1]);
    numbered = {};
    script.compose();
    std::vector<Step> steps;
    {
        const dtl::Ses<int> ses = script.getSes();
        steps.reserve(ses.getSequence().size());
        for (const auto& [number, info] : ses.getSequence()) {
            const bool added = info.type == dtl::SES_ADD;
            const LineDiff::Kind kind = added ? LineDiff::Kind::Added
                : info.type == dtl::SES_DELETE ? LineDiff::Kind::Removed
                                               : LineDiff::Kind::Context;
            const std::string_view text = added ? after.texts[static_cast<std::size_t>(info.afterIdx - 1)]
                                                : before.texts[static_cast<std::size_t>(info.beforeIdx - 1)];
            steps.push_back({kind, text});
        }
    }
    // Within a run of changes the removed lines come first, as patches have them.
    for (auto run = steps.begin(); run != steps.end();) {
        const auto isContext = [](const Step& step) { return step.kind == LineDiff::Kind::Context; };
        run = std::find_if_not(run, steps.end(), isContext);
        const auto end = std::find_if(run, steps.end(), isContext);
        std::stable_partition(run, end, [](const Step& step) { return step.kind == LineDiff::Kind::Removed; });
        run = end;
    }
    addHunks(steps, diff);
    return diff;
}

} // namespace

LineDiff diffLines(std::string_view from, std::string_view to)
{
    return diffOf(from, to, false);
}

LineDiff diffLinesWithEnds(std::string_view from, std::string_view to)
{
    return diffOf(from, to, true);
}

std::string unifiedText(const LineDiff& diff, std::string_view fromName, std::string_view toName)
{
    std::string text;
    for (const std::string& note : diff.notes)
        text.append(note) += '\n';
    if (diff.lines.empty())
        return text;
    text.append("--- ").append(fromName).append("\n+++ ").append(toName) += '\n';
    for (const LineDiff::Line& line : diff.lines) {
        switch (line.kind) {
        case LineDiff::Kind::Hunk: break;
        case LineDiff::Kind::Context: text += ' '; break;
        case LineDiff::Kind::Removed: text += '-'; break;
        case LineDiff::Kind::Added: text += '+'; break;
        }
        text.append(line.text);
        if (!diff.endsKept || line.kind == LineDiff::Kind::Hunk)
            text += '\n';
        else if (!line.text.ends_with('\n') && !line.text.ends_with('\r'))
            text += "\n\\ No newline at end of file\n";
    }
    return text;
}

} // namespace quendral
