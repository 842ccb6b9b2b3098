#include "history/LineDiff.h"

#include "history/LineNumbers.h"
#include "history/LineReader.h"
#include "history/ShortestEdit.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace quendral {

namespace {

constexpr std::size_t Context = 3;

struct Side
{
    std::vector<std::uint32_t> numbers;
    // The line ends met, by End; and whether the last line has none.
    std::array<bool, 4> ends{};
    bool lastUnended = false;
};

Side numbered(std::string_view text, bool withEnds, LineNumbers& numbers, const std::atomic<bool>* cancelled)
{
    Side side;
    LineReader reader(text, withEnds);
    std::string_view line;
    LineReader::End end = LineReader::End::None;
    while (reader.next(line, end)) {
        if (cancelled && side.numbers.size() % 65536 == 0 && *cancelled)
            throw ShortestEdit::Cancelled();
        side.numbers.push_back(numbers.numberOf(line));
        side.ends[static_cast<std::size_t>(end)] = true;
    }
    side.lastUnended = side.ends[static_cast<std::size_t>(LineReader::End::None)];
    side.ends[static_cast<std::size_t>(LineReader::End::None)] = false;
    return side;
}

std::string lineEnds(const Side& side)
{
    static constexpr std::array<const char*, 4> Names = {"", "LF", "CR LF", "CR"};
    std::string style;
    for (std::size_t end = 1; end < Names.size(); ++end)
        if (side.ends[end])
            style = style.empty() ? Names[end] : "mixed";
    if (side.lastUnended)
        style += style.empty() ? "none" : ", none after the last line";
    return style;
}

std::string range(std::size_t start, std::size_t count)
{
    return count == 1 ? std::to_string(start) : std::to_string(start) + "," + std::to_string(count);
}

// Old lines [oldStart, oldEnd) give way to new lines [newStart, newEnd);
// the lines between two changes are the same on both sides.
struct Change
{
    std::size_t oldStart, oldEnd, newStart, newEnd;
};

std::vector<Change> changesOf(const ShortestEdit& edit)
{
    std::vector<Change> changes;
    const std::size_t oldCount = edit.removed.size(), newCount = edit.added.size();
    for (std::size_t i = 0, j = 0; i < oldCount || j < newCount;) {
        if (i < oldCount && j < newCount && !edit.removed[i] && !edit.added[j]) {
            ++i, ++j;
            continue;
        }
        Change change{i, i, j, j};
        while (i < oldCount && edit.removed[i])
            ++i;
        while (j < newCount && edit.added[j])
            ++j;
        if (i == change.oldStart && j == change.newStart)
            break;  // unreachable while both sides keep the same number of lines
        change.oldEnd = i;
        change.newEnd = j;
        changes.push_back(change);
    }
    return changes;
}

// The changes in hunks: changes with fewer than twice the context between
// them share a hunk. A hunk that takes no line of one side starts after the
// line it follows, as `diff` writes it. Within a change the removed lines
// come first, as patches have them.
void addHunks(const std::vector<Change>& changes, std::size_t oldCount, std::string_view from,
              std::string_view to, LineDiff& diff)
{
    LineReader before(from, diff.endsKept), after(to, diff.endsKept);
    const auto add = [&](LineDiff::Kind kind, LineReader& lines, std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i)
            diff.lines.push_back({kind, std::string(lines.lineAt(i))});
    };
    for (std::size_t first = 0; first < changes.size();) {
        std::size_t last = first;
        while (last + 1 < changes.size() && changes[last + 1].oldStart - changes[last].oldEnd < 2 * Context)
            ++last;
        const std::size_t lead = std::min(Context, changes[first].oldStart);
        const std::size_t trail = std::min(Context, oldCount - changes[last].oldEnd);
        const std::size_t oldStart = changes[first].oldStart - lead, newStart = changes[first].newStart - lead;
        const std::size_t oldLines = changes[last].oldEnd + trail - oldStart;
        const std::size_t newLines = changes[last].newEnd + trail - newStart;
        diff.lines.push_back({LineDiff::Kind::Hunk, "@@ -" + range(oldStart + (oldLines > 0), oldLines) + " +"
                                                        + range(newStart + (newLines > 0), newLines) + " @@"});
        add(LineDiff::Kind::Context, before, oldStart, changes[first].oldStart);
        for (std::size_t i = first; i <= last; ++i) {
            add(LineDiff::Kind::Removed, before, changes[i].oldStart, changes[i].oldEnd);
            add(LineDiff::Kind::Added, after, changes[i].newStart, changes[i].newEnd);
            add(LineDiff::Kind::Context, before, changes[i].oldEnd,
                i < last ? changes[i + 1].oldStart : changes[i].oldEnd + trail);
        }
        first = last + 1;
    }
}

LineDiff diffOf(std::string_view from, std::string_view to, bool withEnds, const std::atomic<bool>* cancelled)
{
    LineDiff diff;
    diff.endsKept = withEnds;
    try {
        std::array<Side, 2> sides;
        {
            LineNumbers numbers;
            sides[0] = numbered(from, withEnds, numbers, cancelled);
            sides[1] = numbered(to, withEnds, numbers, cancelled);
        }
        if (!sides[0].numbers.empty() && !sides[1].numbers.empty() && lineEnds(sides[0]) != lineEnds(sides[1]))
            diff.notes.push_back("line ends: " + lineEnds(sides[0]) + " → " + lineEnds(sides[1]));
        const std::size_t oldCount = sides[0].numbers.size();
        const ShortestEdit edit(std::move(sides[0].numbers), std::move(sides[1].numbers), cancelled);
        addHunks(changesOf(edit), oldCount, from, to, diff);
    } catch (const ShortestEdit::Cancelled&) {
        return {};
    }
    return diff;
}

} // namespace

LineDiff diffLines(std::string_view from, std::string_view to, const std::atomic<bool>* cancelled)
{
    return diffOf(from, to, false, cancelled);
}

LineDiff diffLinesWithEnds(std::string_view from, std::string_view to)
{
    return diffOf(from, to, true, nullptr);
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
