#pragma once

#include "carscript/ScriptVocabulary.h"

#include <optional>
#include <string>
#include <string_view>

namespace quendral {

// A wheel line: 13 characters kept, a blank, the ride height from
// character 15, and at its end 26 characters kept followed by the 23
// characters of the four wheel flags, the second of which marks a driven
// wheel.

inline constexpr std::size_t WheelLinePrefixLength = 13;
inline constexpr std::size_t WheelLineTailLength = 49;
inline constexpr std::size_t WheelFlagsLength = 23;

// The shortest wheel line the save rewrites: the kept start and end.
inline constexpr std::size_t ShortestRewrittenWheelLine = WheelLinePrefixLength + WheelLineTailLength;

// Whether the wheel line marks its axle as driven: the first of its last 17
// characters is the digit 1.
bool isDrivenWheelLine(std::string_view wheelLine);

std::string_view wheelFlags(Axle axle, bool driven);

// The wheel line with a new ride height and new wheel flags, or nothing when
// the line is too short to hold them.
std::optional<std::string> rebuildWheelLine(std::string_view wheelLine, Axle axle, int position,
                                            bool driven);

} // namespace quendral
