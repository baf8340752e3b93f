#include "rip/wma_wide_path.h"

#include <cstdint>

#include "platform/utf8.h"

namespace lumbra {
namespace {

bool isSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

}  // namespace

std::optional<std::u16string> toWidePath(std::string_view utf8, size_t maxUnits) {
    std::u16string wide;
    for (size_t at = 0; at < utf8.size();) {
        const auto decoded = platform::decodeUtf8Character(utf8, at);
        if (!decoded) return std::nullopt;
        const char32_t c = *decoded;
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
        platform::appendUtf8Character(out, c);
    }
    return out;
}

}  // namespace lumbra
