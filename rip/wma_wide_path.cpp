#include "rip/wma_wide_path.h"

#include <cstdint>

namespace lumbra {
namespace {

constexpr char32_t kInvalid = 0xFFFFFFFF;

bool isSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

// Decodes one character at `at`, moving past it; kInvalid for a malformed or overlong sequence.
char32_t decodeUtf8(std::string_view text, size_t& at) {
    const auto lead = uint8_t(text[at++]);
    if (lead < 0x80) return lead;
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : 0;
    if (extra == 0 || lead > 0xF4 || at + size_t(extra) > text.size()) return kInvalid;
    char32_t c = lead & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        const auto next = uint8_t(text[at++]);
        if ((next & 0xC0) != 0x80) return kInvalid;
        c = (c << 6) | (next & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[extra] || c > 0x10FFFF || isSurrogate(c)) return kInvalid;
    return c;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
        return;
    }
    constexpr uint8_t kLeadBits[] = {0, 0xC0, 0xE0, 0xF0};
    const int extra = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    out += char(kLeadBits[extra] | (c >> (6 * extra)));
    for (int i = extra - 1; i >= 0; --i) out += char(0x80 | ((c >> (6 * i)) & 0x3F));
}

}  // namespace

std::optional<std::u16string> toWidePath(std::string_view utf8, size_t maxUnits) {
    std::u16string wide;
    for (size_t at = 0; at < utf8.size();) {
        const char32_t c = decodeUtf8(utf8, at);
        if (c == kInvalid) return std::nullopt;
        if (c < 0x10000) {
            wide += char16_t(c);
        } else {
            wide += char16_t(0xD800 + ((c - 0x10000) >> 10));
            wide += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
        if (wide.size() + 1 > maxUnits) return std::nullopt;
    }
    return wide;
}

std::optional<std::string> fromWidePath(const char16_t* wide) {
    std::string out;
    for (; *wide; ++wide) {
        char32_t c = *wide;
        if (c >= 0xD800 && c <= 0xDBFF && wide[1] >= 0xDC00 && wide[1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (char32_t(*++wide) - 0xDC00);
        } else if (isSurrogate(c)) {
            return std::nullopt;
        }
        appendUtf8(out, c);
    }
    return out;
}

}  // namespace lumbra
