#pragma once
// Whether text the program shows is well-formed UTF-8.

#include <cstdint>
#include <string_view>

namespace tonarel::fuzz {

/// True when `text` is well-formed UTF-8: no stray continuation bytes, no
/// truncated, overlong or surrogate sequences, nothing beyond U+10FFFF.
inline bool IsValidUtf8(std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<uint8_t>(text[at]);
        std::size_t length = 0;
        uint32_t codePoint = 0;
        uint32_t lowest = 0;
        if (lead < 0x80) {
            ++at;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, codePoint = lead & 0x1Fu, lowest = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, codePoint = lead & 0x0Fu, lowest = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, codePoint = lead & 0x07u, lowest = 0x10000;
        } else {
            return false;
        }
        if (at + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<uint8_t>(text[at + k]);
            if ((next & 0xC0u) != 0x80u) {
                return false;
            }
            codePoint = (codePoint << 6) | (next & 0x3Fu);
        }
        if (codePoint < lowest || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
            return false;
        }
        at += length;
    }
    return true;
}

}  // namespace tonarel::fuzz
