#include "app/cli/Json.h"

#include "app/cli/ConsoleLineEnds.h"

#include <ostream>

namespace quendral::cli {

namespace {

// The length of the valid UTF-8 sequence at the start of `text`, or 0.
std::size_t sequenceLength(std::string_view text)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        // No overlong forms, no surrogates.
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        // No overlong forms, nothing above U+10FFFF.
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    return length;
}

} // namespace

std::size_t firstNonUtf8(std::string_view text)
{
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = sequenceLength(text.substr(at));
        if (length == 0)
            return at;
        at += length;
    }
    return std::string_view::npos;
}

std::string asUtf8(std::string_view text)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string result;
    result.reserve(text.size());
    while (!text.empty()) {
        const std::size_t length = sequenceLength(text);
        if (length == 0) {
            const auto byte = static_cast<unsigned char>(text.front());
            result += {'\\', 'x', Hex[byte >> 4], Hex[byte & 0xF]};
            text.remove_prefix(1);
        } else {
            result.append(text.substr(0, length));
            text.remove_prefix(length);
        }
    }
    return result;
}

std::string pathAsUtf8(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return asUtf8(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
}

void printJson(std::ostream& out, const Json& document)
{
    ConsoleLineEnds::keepAsWritten(out);
    if (!document.is_array() || document.empty()) {
        out << document.dump() << '\n';
        return;
    }
    const char* separator = "[\n";
    for (const Json& element : document) {
        out << separator << element.dump();
        separator = ",\n";
    }
    out << "\n]\n";
}

} // namespace quendral::cli
