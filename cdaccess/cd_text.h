// The CD-Text of a disc: album and track texts of its first language, decoded to UTF-8 from the
// packs of a READ TOC format 5 reply.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "cdaccess/cd_text_pack.h"

namespace lumbra {

inline constexpr int kMaxCdTextTrack = 99;

struct CdTextFields {
    std::string title;
    std::string performer;
    std::string songwriter;
    std::string composer;
    std::string arranger;
    std::string code;  // the album's UPC/EAN, or the track's ISRC
};

struct CdText {
    CdTextCharacterCode characterCode = CdTextCharacterCode::Iso8859_1;
    uint8_t language = 0;  // the block's language code, 0 when unknown
    // Index 0 is the album, index n track n; tracks without text have empty fields.
    std::vector<CdTextFields> entries;
    uint16_t genreCode = 0;  // 0: none
    std::string genreText;

    bool empty() const { return entries.empty() && genreCode == 0 && genreText.empty(); }
    // The fields of track `track` (0: the album); empty ones for a track without text.
    const CdTextFields& entry(int track) const;
};

// Reads the first language's block from `reply` (header and packs, as the drive sent it, of
// any length). Packs whose CRC is wrong are left out, and so is the part of a string that a
// left-out pack would have continued; repeated packs count once. Never fails: a reply without
// usable packs gives an empty result.
CdText parseCdText(std::span<const uint8_t> reply);

}  // namespace lumbra
