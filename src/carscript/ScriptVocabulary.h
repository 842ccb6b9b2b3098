#pragma once

#include "settings/CarSettings.h"
#include "settings/SettingNames.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace quendral {

// The pieces of a car script that the editor recognises; everything else is
// copied through. All tests are exact and case-sensitive.

enum class Wheel { FrontLeft, FrontRight, RearLeft, RearRight };
enum class Axle { Front, Rear };

namespace vocabulary {

inline constexpr std::string_view CameraLineStart = "ext_camera";
inline constexpr std::string_view SteerHelpStart = "steerhelp";
inline constexpr std::string_view EngineBlockEnd = "engine_block";
inline constexpr std::string_view SlotDamageModeStart = "slotdmgmode";
inline constexpr std::string_view AttachStart = "attach";
inline constexpr std::string_view SlotTypeStart = "slottype";

// A wheel marker is followed by five fields, the third of them the wheel line.
inline constexpr int FieldsAfterWheelMarker = 5;
inline constexpr int WheelLineField = 3;

// The camera line written in place of the script's own.
inline constexpr std::string_view FixedCameraLine =
    "ext_camera  120 0,1.8,0 0.0,1.0,-2.0    0,0.0,0.0   5";

} // namespace vocabulary

inline bool isCameraLine(std::string_view field) { return field.starts_with(vocabulary::CameraLineStart); }
inline bool isSteerHelpLine(std::string_view field) { return field.starts_with(vocabulary::SteerHelpStart); }
inline bool isEngineBlockEntry(std::string_view field) { return field.ends_with(vocabulary::EngineBlockEnd); }
inline bool isSlotDamageModeLine(std::string_view field) { return field.starts_with(vocabulary::SlotDamageModeStart); }
inline bool isAttachLine(std::string_view field) { return field.starts_with(vocabulary::AttachStart); }
inline bool isSlotTypeLine(std::string_view field) { return field.starts_with(vocabulary::SlotTypeStart); }

// The family whose engine line the field is, judged by its end.
// Inline, as is wheelMarker: both run on every field of a script, and out
// of line GCC returns the optional through memory, a store-forwarding
// stall that took a third of the load's time.
inline std::optional<EngineFamily> engineLineFamily(std::string_view field)
{
    if (field.ends_with("i4 blocks"))
        return EngineFamily::I4;
    if (field.ends_with("v6 blocks"))
        return EngineFamily::V6;
    if (field.ends_with("v8 blocks"))
        return EngineFamily::V8;
    if (field.ends_with("v10 blocks"))
        return EngineFamily::V10;
    return std::nullopt;
}

std::string_view engineLine(EngineFamily family);

// The wheel whose block the field starts.
inline std::optional<Wheel> wheelMarker(std::string_view field)
{
    if (field == "# FL wheel #")
        return Wheel::FrontLeft;
    if (field == "# FR wheel #")
        return Wheel::FrontRight;
    if (field == "# RL wheel #")
        return Wheel::RearLeft;
    if (field == "# RR wheel #")
        return Wheel::RearRight;
    return std::nullopt;
}

Axle axleOf(Wheel wheel);
std::string_view slotTypeLine(Wheel wheel);

// "attach      0x0004010" + (size - 14) + " 1 ; " + size.
std::string wheelSizeLine(int size);

// The last two characters of a field (all of it when shorter), as the load
// reads a wheel size.
std::string_view lastTwoCharacters(std::string_view field);

} // namespace quendral
