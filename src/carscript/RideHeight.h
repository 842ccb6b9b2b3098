#pragma once

#include "carscript/ScriptVocabulary.h"

#include <string>
#include <string_view>

namespace quendral {

// A ride height is held as a slider position p; the script holds the
// height -(300 + 20 p) / 1000, with one decimal fewer on the rear axle.

// The digits written after "-0." for a position: 300 + 20 p on the front
// axle, 30 + 2 p on the rear.
std::string rideHeightDigits(Axle axle, int position);

// The position a wheel line stands for, read from its characters 15 to 20,
// rounded with halves to the even neighbour. A height that is not a number
// reads as 0. The result is not limited to the slider's range.
int rideHeightPosition(std::string_view wheelLine);

// Reads blanks around an optional sign, digits and an optional fraction
// ("-0.350", ".5"); nothing when the text is not such a number.
bool parseDecimal(std::string_view text, double& value);

} // namespace quendral
