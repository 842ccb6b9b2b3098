#include "carscript/ScriptVocabulary.h"

#include <algorithm>

namespace quendral {

std::string_view engineLine(EngineFamily family)
{
    switch (family) {
    case EngineFamily::I4: return "attach    0x000400CE 1    ; i4 blocks";
    case EngineFamily::V6: return "attach    0x000400CF 1    ; v6 blocks";
    case EngineFamily::V8: return "attach    0x000400D0 1    ; v8 blocks";
    case EngineFamily::V10: return "attach    0x000400D1 1    ; v10 blocks";
    }
    return {};
}

Axle axleOf(Wheel wheel)
{
    return wheel == Wheel::FrontLeft || wheel == Wheel::FrontRight ? Axle::Front : Axle::Rear;
}

std::string_view slotTypeLine(Wheel wheel)
{
    switch (wheel) {
    case Wheel::FrontLeft: return "slottype    101";
    case Wheel::FrontRight: return "slottype    102";
    case Wheel::RearLeft: return "slottype    103";
    case Wheel::RearRight: return "slottype    104";
    }
    return {};
}

std::string wheelSizeLine(int size)
{
    return "attach      0x0004010" + std::to_string(size - 14) + " 1 ; " + std::to_string(size);
}

std::string_view lastTwoCharacters(std::string_view field)
{
    return field.substr(field.size() - std::min<std::size_t>(field.size(), 2));
}

} // namespace quendral
