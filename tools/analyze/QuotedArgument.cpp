#include "tools/analyze/QuotedArgument.h"

#include <cstdint>
#include <cstdio>

namespace tonarel::analyze {
namespace {

// The length of the UTF-8 sequence at `text[at]` and its code point, or 0 when
// the bytes there are no well-formed sequence (overlong forms, surrogates and
// code points beyond U+10FFFF included).
std::size_t DecodeUtf8(std::string_view text, std::size_t at, char32_t& codePoint)
{
    const auto byte = [&](std::size_t k) { return static_cast<uint8_t>(text[at + k]); };
    const uint8_t lead = byte(0);
    std::size_t length = 0;
    char32_t lowest = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, lowest = 0x80, codePoint = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, lowest = 0x800, codePoint = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, lowest = 0x10000, codePoint = lead & 0x07u;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(k) & 0xC0u) != 0x80u) {
            return 0;
        }
        codePoint = (codePoint << 6) | (byte(k) & 0x3Fu);
    }
    if (codePoint < lowest || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        return 0;
    }
    return length;
}

// Characters a terminal acts on or that hide or reorder what is shown.
bool IsControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x200B && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069) || c == 0xFEFF;
}

std::string Hex(const char* format, unsigned value)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

}  // namespace

std::string QuotedArgument(std::string_view text)
{
    bool plain = true;
    for (std::size_t at = 0; at < text.size() && plain;) {
        char32_t c = 0;
        const std::size_t length = DecodeUtf8(text, at, c);
        plain = length != 0 && !IsControl(c);
        at += length;
    }
    if (plain) {
        return "\"" + std::string(text) + "\"";
    }

    std::string quoted = "$'";
    for (std::size_t at = 0; at < text.size();) {
        char32_t c = 0;
        const std::size_t length = DecodeUtf8(text, at, c);
        if (length == 0) {
            quoted += Hex("\\x%02X", static_cast<uint8_t>(text[at]));
            ++at;
            continue;
        }
        switch (c) {
        case '\\': quoted += "\\\\"; break;
        case '\'': quoted += "\\'"; break;
        case '\t': quoted += "\\t"; break;
        case '\n': quoted += "\\n"; break;
        case '\r': quoted += "\\r"; break;
        case 0x1B: quoted += "\\e"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                quoted += Hex("\\x%02X", static_cast<unsigned>(c));
            } else if (IsControl(c)) {
                quoted += Hex("\\u%04X", static_cast<unsigned>(c));
            } else {
                quoted.append(text, at, length);
            }
        }
        at += length;
    }
    return quoted + "'";
}

}  // namespace tonarel::analyze
