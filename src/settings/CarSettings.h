#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>

namespace quendral {

enum class EngineFamily { I4, V6, V8, V10 };
inline constexpr std::array<EngineFamily, 4> EngineFamilies = {
    EngineFamily::I4, EngineFamily::V6, EngineFamily::V8, EngineFamily::V10};

inline constexpr int familyIndex(EngineFamily family)
{
    return static_cast<int>(family);
}

// The driven axle; None keeps a script's wheel lines as they are.
enum class Drive { None, Front, Rear, All };

// The limits the editor holds a car's settings to.
inline constexpr int RideHeightMinimum = 0;
inline constexpr int RideHeightMaximum = 30;
inline constexpr int SmallestWheelSize = 14;
inline constexpr int LargestWheelSize = 21;

// The settings of one car, as a car script gives them and a save writes
// them: the engine families it takes, the driven axle, the ride-height
// positions of both axles and the wheel-size range, whose texts are kept
// as given, since a user may type anything there.
struct CarSettings
{
    std::array<bool, 4> engines{};  // by EngineFamily
    Drive drive = Drive::None;
    int front = 0;
    int rear = 0;
    std::string smallest;
    std::string largest;

    bool operator==(const CarSettings&) const = default;

    bool frontDriven() const { return drive == Drive::Front || drive == Drive::All; }
    bool rearDriven() const { return drive == Drive::Rear || drive == Drive::All; }

    // The wheel sizes a save writes: both texts whole numbers, the smallest
    // raised to 14, the largest not below it. Nothing when they make no
    // range.
    std::optional<std::pair<int, int>> wheelRange() const;
};

// Each setting as one, to say which a script gave or a user changed.
enum class Setting { Engines, Drive, Front, Rear, Smallest, Largest };
using SettingFlags = std::array<bool, 6>;

inline bool has(const SettingFlags& flags, Setting setting)
{
    return flags[static_cast<std::size_t>(setting)];
}

// Whether a largest wheel-size text lies above 21, which the editor turns
// into 21. Text that is not a number is not: it is caught on saving.
bool aboveLargestWheelSize(const std::string& text);

} // namespace quendral
