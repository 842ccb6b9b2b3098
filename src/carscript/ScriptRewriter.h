#pragma once

#include <array>
#include <string>
#include <string_view>

namespace quendral {

class ByteSink;
struct CarSettings;

// Where a rewrite found room for the settings, to tell the user why one of
// them is missing from the new script.
struct RewriteNotes
{
    bool engineBlock = false;                 // the engine lines were written
    std::array<bool, 4> wheelBlock{};         // by Wheel: a block of that wheel was met
    std::array<bool, 4> wheelLineTooShort{};  // by Wheel: a wheel line kept for want of room
};

// Writes a car script anew from its old text: the camera line becomes the
// fixed camera line, the engine lines are written from the chosen families,
// and each wheel block gets its new wheel line, wheel-size lines and slot
// type line. With no drive the wheel lines are kept as they stand, ride
// heights and all. Every other line is copied through as it stood (line ends
// become CR LF).
//
// Returns false with the reason when the old script ends inside a part that
// must be complete (a camera line without a steering-help line after it, an
// engine block without its slot damage mode line, a wheel block of fewer
// than five fields), when the wheel sizes make no range, or when the sink
// fails. What reached the sink by then
// is incomplete and must be thrown away. `notes`, when given, learns where
// the settings found room.
bool rewriteScript(std::string_view script, const CarSettings& settings, ByteSink& sink,
                   std::string& error, RewriteNotes* notes = nullptr);

} // namespace quendral
