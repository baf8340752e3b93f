#include "platform/utf8.h"

#include <cstdint>

namespace lumbra::platform {
namespace {

constexpr char32_t kLastScalar = 0x10FFFF;

bool isSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

int continuationCount(uint8_t lead) {
    if (lead >= 0xF0 && lead <= 0xF4) return 3;
    if (lead >= 0xE0 && lead <= 0xEF) return 2;
    if (lead >= 0xC2 && lead <= 0xDF) return 1;
    return -1;
}

}  // namespace

std::optional<char32_t> decodeUtf8Character(std::string_view text, size_t& at) {
    const auto lead = uint8_t(text[at++]);
    if (lead < 0x80) return lead;
    const int extra = continuationCount(lead);
    if (extra < 0 || at + size_t(extra) > text.size()) return std::nullopt;
    char32_t c = lead & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        const auto next = uint8_t(text[at + size_t(i)]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        c = (c << 6) | (next & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[extra] || c > kLastScalar || isSurrogate(c)) return std::nullopt;
    at += size_t(extra);
    return c;
}

void appendUtf8Character(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
        return;
    }
    constexpr uint8_t kLeadBits[] = {0, 0xC0, 0xE0, 0xF0};
    const int extra = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    out += char(kLeadBits[extra] | (c >> (6 * extra)));
    for (int i = extra - 1; i >= 0; --i) out += char(0x80 | ((c >> (6 * i)) & 0x3F));
}

}  // namespace lumbra::platform
