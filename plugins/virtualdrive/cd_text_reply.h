// The reply to READ TOC format 5: the CD-Text packs of a disc's lead-in behind a 4-byte header.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "cdaccess/cd_text_pack.h"
#include "plugins/virtualdrive/disc.h"

namespace lumbra::virtualdrive {

// One block (language) of already encoded strings, as the lead-in of a disc carries them.
struct CdTextBlock {
    int block = 0;
    CdTextCharacterCode characterCode = CdTextCharacterCode::Iso8859_1;
    uint8_t language = 0x09;  // English
    bool doubleByte = false;
    int lastTrack = 1;
    // Per pack type, the album's string first, then track 1's and so on.
    std::vector<std::pair<uint8_t, std::vector<std::string>>> texts;
    uint16_t genreCode = 0;
};

// The block's text packs, genre and size information, numbered from sequence 0, with their
// CRCs. Text beyond what 256 packs hold is left out.
std::vector<CdTextPack> cdTextPacks(const CdTextBlock& block);

// The header and the packs.
std::vector<uint8_t> cdTextReply(std::span<const CdTextPack> packs);

// The disc's texts in one block, in ISO 8859-1 when they fit, else in MS-JIS, else in the
// Mandarin code; a track's text that repeats the track before's is sent as the tab marker.
// Empty when the disc has no CD-Text.
std::vector<uint8_t> discCdTextReply(const Disc& disc);

}  // namespace lumbra::virtualdrive
