#include "metadata/cddb_base64.h"

#include <algorithm>
#include <cstdint>

namespace lumbra {
namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

char sextet(uint32_t group, int shift) {
    return kAlphabet[(group >> shift) & 0x3F];
}

}  // namespace

std::string encodeBase64(std::string_view bytes) {
    std::string encoded;
    encoded.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t count = std::min<size_t>(3, bytes.size() - i);
        uint32_t group = 0;
        for (size_t k = 0; k < 3; ++k) {
            const uint32_t byte = k < count ? static_cast<unsigned char>(bytes[i + k]) : 0;
            group = group << 8 | byte;
        }
        encoded += sextet(group, 18);
        encoded += sextet(group, 12);
        encoded += count > 1 ? sextet(group, 6) : '=';
        encoded += count > 2 ? sextet(group, 0) : '=';
    }
    return encoded;
}

}  // namespace lumbra
