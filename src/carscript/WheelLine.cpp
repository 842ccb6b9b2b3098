#include "carscript/WheelLine.h"

#include "carscript/RideHeight.h"

namespace quendral {

bool isDrivenWheelLine(std::string_view wheelLine)
{
    constexpr std::size_t DriveFlagDistance = 17;
    if (wheelLine.empty())
        return false;
    const std::size_t start =
        wheelLine.size() > DriveFlagDistance ? wheelLine.size() - DriveFlagDistance : 0;
    return wheelLine[start] == '1';
}

std::string_view wheelFlags(Axle axle, bool driven)
{
    if (axle == Axle::Front)
        return driven ? "1.000 1.000 1.000 0.000" : "1.000 0.000 1.000 0.000";
    return driven ? "0.000 1.000 1.000 1.000" : "0.000 0.000 1.000 1.000";
}

std::optional<std::string> rebuildWheelLine(std::string_view wheelLine, Axle axle, int position,
                                            bool driven)
{
    if (wheelLine.size() < ShortestRewrittenWheelLine)
        return std::nullopt;

    const std::string_view tail = wheelLine.substr(wheelLine.size() - WheelLineTailLength);
    std::string line;
    line.reserve(WheelLinePrefixLength + 7 + WheelLineTailLength);
    line.append(wheelLine.substr(0, WheelLinePrefixLength));
    line.append(" -0.");
    line.append(rideHeightDigits(axle, position));
    line.append(tail.substr(0, WheelLineTailLength - WheelFlagsLength));
    line.append(wheelFlags(axle, driven));
    return line;
}

} // namespace quendral
