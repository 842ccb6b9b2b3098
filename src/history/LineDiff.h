#pragma once

#include <atomic>
#include <string>
#include <string_view>
#include <vector>

namespace quendral {

// The lines two versions of a car script differ in, as a unified diff with
// three lines of context. Lines are compared without their line ends: a
// change of line ends alone changes no line and is told in a note instead.
struct LineDiff
{
    enum class Kind { Hunk, Context, Removed, Added };
    struct Line
    {
        Kind kind;
        // A hunk's "@@ -1,7 +1,8 @@", or the line without its line end
        // (with it, where the diff keeps line ends).
        std::string text;
    };

    // "line ends: LF → CR LF"
    std::vector<std::string> notes;
    std::vector<Line> lines;
    bool endsKept = false;

    bool unchanged() const { return notes.empty() && lines.empty(); }
};

// Lines are compared as numbers, one per distinct line, in time that grows
// with the lines changed and memory with the lines held. Raising
// `cancelled` stops it early, with an empty diff.
LineDiff diffLines(std::string_view from, std::string_view to, const std::atomic<bool>* cancelled = nullptr);

// The same with each line's own line end kept and compared, as `diff -u`
// has them: `patch` applies it to give the very bytes of `to`.
LineDiff diffLinesWithEnds(std::string_view from, std::string_view to);

// The diff as text, each line ended by a line feed: the notes, then, when
// any line changed, the names of both versions after "---" and "+++" and
// the hunks, which `patch` applies.
std::string unifiedText(const LineDiff& diff, std::string_view fromName, std::string_view toName);

} // namespace quendral
