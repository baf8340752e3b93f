#include "metadata/sha1.h"

#include <bit>
#include <string>

namespace lumbra {
namespace {

using State = std::array<uint32_t, 5>;

uint32_t bigEndianWord(const unsigned char* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

void compressBlock(State& h, const unsigned char* block) {
    std::array<uint32_t, 80> w{};
    for (int i = 0; i < 16; ++i) w[size_t(i)] = bigEndianWord(block + 4 * i);
    for (size_t i = 16; i < 80; ++i) {
        w[i] = std::rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
    }
    uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
    for (size_t i = 0; i < 80; ++i) {
        uint32_t f = 0, k = 0;
        if (i < 20) {
            f = (b & c) | (~b & d), k = 0x5A827999;
        } else if (i < 40) {
            f = b ^ c ^ d, k = 0x6ED9EBA1;
        } else if (i < 60) {
            f = (b & c) | (b & d) | (c & d), k = 0x8F1BBCDC;
        } else {
            f = b ^ c ^ d, k = 0xCA62C1D6;
        }
        const uint32_t next = std::rotl(a, 5) + f + e + k + w[i];
        e = d, d = c, c = std::rotl(b, 30), b = a, a = next;
    }
    h[0] += a, h[1] += b, h[2] += c, h[3] += d, h[4] += e;
}

}  // namespace

Sha1Digest sha1(std::string_view bytes) {
    State h{0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    std::string message(bytes);
    const uint64_t bits = uint64_t(bytes.size()) * 8;
    message += char(0x80);
    while (message.size() % 64 != 56) message += char(0);
    for (int shift = 56; shift >= 0; shift -= 8) message += char(bits >> shift & 0xFF);
    for (size_t at = 0; at < message.size(); at += 64) {
        compressBlock(h, reinterpret_cast<const unsigned char*>(message.data() + at));
    }
    Sha1Digest digest{};
    for (size_t i = 0; i < 20; ++i) digest[i] = uint8_t(h[i / 4] >> (24 - 8 * (i % 4)));
    return digest;
}

}  // namespace lumbra
