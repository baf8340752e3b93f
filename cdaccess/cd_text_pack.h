// One pack of a disc's CD-Text as READ TOC format 5 returns it (and as the lead-in carries it):
// 18 bytes, with a CRC over the first 16. Shared by the reader and the virtual drive that
// serves packs, so both agree on the layout and the check.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace lumbra {

inline constexpr size_t kCdTextPackBytes = 18;
inline constexpr size_t kCdTextPayloadBytes = 12;
// READ TOC format 5 replies with a 4-byte header (data length, two reserved bytes) first.
inline constexpr size_t kCdTextReplyHeaderBytes = 4;

enum CdTextPackType : uint8_t {
    kCdTextTitle = 0x80,
    kCdTextPerformer = 0x81,
    kCdTextSongwriter = 0x82,
    kCdTextComposer = 0x83,
    kCdTextArranger = 0x84,
    kCdTextMessage = 0x85,
    kCdTextGenre = 0x87,
    kCdTextCodes = 0x8E,  // UPC/EAN of the album, ISRC of each track
    kCdTextSizeInfo = 0x8F,
};

// Byte 1: the track whose text the payload starts with (0 for the album), and a flag.
inline constexpr uint8_t kCdTextTrackMask = 0x7F;
// Byte 3: double-byte text, the block (language) number, and how many characters of the
// string the payload starts in lie in earlier packs (15: 15 or more).
inline constexpr uint8_t kCdTextDoubleByteBit = 0x80;
inline constexpr int kCdTextBlockShift = 4;
inline constexpr uint8_t kCdTextBlockMask = 0x07;
inline constexpr uint8_t kCdTextPositionMask = 0x0F;
inline constexpr int kCdTextBlocks = 8;

// Character codes of a block, in byte 0 of its size information.
enum class CdTextCharacterCode : uint8_t {
    Iso8859_1 = 0x00,
    Ascii = 0x01,  // ISO 646, 7 bits
    MsJis = 0x80,
    Korean = 0x81,
    Mandarin = 0x82,
};

struct CdTextPack {
    uint8_t type;
    uint8_t track;
    uint8_t sequence;
    uint8_t blockAndPosition;
    uint8_t payload[kCdTextPayloadBytes];
    uint8_t crc[2];  // big-endian, inverted
};
static_assert(sizeof(CdTextPack) == kCdTextPackBytes);

// CRC-16 with the CCITT polynomial x^16 + x^12 + x^5 + 1 from 0, over the first 16 bytes; the
// pack stores its ones' complement.
constexpr uint16_t cdTextPackCrc(std::span<const uint8_t> packBytes) {
    uint16_t crc = 0;
    for (size_t i = 0; i < kCdTextPackBytes - 2 && i < packBytes.size(); ++i) {
        crc ^= uint16_t(packBytes[i] << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = uint16_t(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    return uint16_t(~crc);
}

}  // namespace lumbra
