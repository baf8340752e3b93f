#include "platform/control_characters.h"

#include <algorithm>

namespace lumbra::platform {
namespace {

constexpr unsigned char kDelete = 0x7F;
constexpr unsigned char kFirstPrintable = 0x20;
// U+0080 to U+009F in UTF-8: 0xC2 followed by 0x80 to 0x9F.
constexpr unsigned char kC1Lead = 0xC2;
constexpr unsigned char kC1First = 0x80;
constexpr unsigned char kC1Last = 0x9F;

bool isControl(unsigned char c) {
    return c < kFirstPrintable || c == kDelete;
}

bool isC1Control(std::string_view text, size_t i) {
    if (static_cast<unsigned char>(text[i]) != kC1Lead || i + 1 >= text.size()) return false;
    const auto next = static_cast<unsigned char>(text[i + 1]);
    return next >= kC1First && next <= kC1Last;
}

// U+202A to U+202E are E2 80 AA to E2 80 AE in UTF-8; U+2066 to U+2069 are E2 81 A6 to E2 81 A9.
bool isBidiControl(std::string_view text, size_t i) {
    if (i + 2 >= text.size() || static_cast<unsigned char>(text[i]) != 0xE2) return false;
    const auto second = static_cast<unsigned char>(text[i + 1]);
    const auto third = static_cast<unsigned char>(text[i + 2]);
    return (second == 0x80 && third >= 0xAA && third <= 0xAE) ||
           (second == 0x81 && third >= 0xA6 && third <= 0xA9);
}

constexpr size_t kC1Bytes = 2;
constexpr size_t kBidiBytes = 3;

}  // namespace

std::string replaceControlCharacters(std::string_view text, char replacement) {
    std::string out(text);
    for (char& c : out) {
        if (isControl(static_cast<unsigned char>(c))) c = replacement;
    }
    return out;
}

std::string withoutHiddenCharacters(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (isC1Control(text, i)) {
            i += kC1Bytes - 1;
        } else if (isBidiControl(text, i)) {
            i += kBidiBytes - 1;
        } else {
            out += text[i] == '\t' ? ' ' : text[i];
        }
    }
    return out;
}

std::string withoutControlCharacters(std::string_view text) {
    std::string out = withoutHiddenCharacters(text);
    std::erase_if(out, [](char c) { return isControl(static_cast<unsigned char>(c)); });
    return out;
}

std::string printableText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\n' || c == '\t') {
            out += char(c);
        } else if (isControl(c)) {
            out += '?';
        } else if (isC1Control(text, i)) {
            out += '?';
            ++i;
        } else {
            out += char(c);
        }
    }
    return out;
}

}  // namespace lumbra::platform
