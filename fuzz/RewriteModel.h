#pragma once

#include <string_view>
#include <vector>

namespace quendral {
struct SaveSettings;
}

namespace quendral::fuzz {

// What the save promises for a script, worked out field by field from the
// rules of the rewrite rather than by running it:
//
// - The camera line and every field up to the next steering-help line, the
//   rest of a later camera line, the fields between an engine block entry
//   and the next slot damage mode line, the five fields after a wheel
//   marker, the "attach" fields after them and a slot type line that ends
//   them are taken over by the save.
// - The save must fail exactly when the script ends inside one of those
//   parts: a camera line without a steering-help line after it, an engine
//   block without its slot damage mode line, a wheel marker with fewer
//   than five fields after it.
// - Every other line, none of whose fields is taken over, must stand in the
//   new script as it stood, in the same order; only its line end becomes
//   CR LF. The one exception is a line holding an engine block entry
//   followed directly by its slot damage mode line, which the new engine
//   lines split.
struct RewriteExpectation
{
    bool succeeds = true;
    std::vector<std::string_view> keptLines;  // without their line ends
};

RewriteExpectation expectRewrite(std::string_view script, const SaveSettings& settings);

} // namespace quendral::fuzz
