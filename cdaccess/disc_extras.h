// What a disc says about itself beside its table of contents: CD-Text, the media catalogue
// number and each track's ISRC, read once with the table of contents.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "cdaccess/cd_text.h"
#include "cdaccess/disc_toc.h"

namespace lumbra {

struct DiscExtras {
    CdText cdText;
    std::string catalogue;           // 13 digits (UPC/EAN), empty when the disc has none
    std::vector<std::string> isrcs;  // one per track in table order, empty when it has none
};

// Reads all three through an open handle. Drives refuse what a disc does not carry, so every
// refused or implausible part is left empty, and last error stays as it was.
DiscExtras readDiscExtras(int handle, const TocBuffer& toc);

// The number in a READ SUB-CHANNEL reply of the catalogue kind, or empty when the reply says
// none is valid or it is not 13 digits.
std::string catalogueFromReply(std::span<const uint8_t> reply);
// The ISRC in a reply of the ISRC kind: 12 characters, two letters, three letters or digits and
// seven digits; empty when none is valid.
std::string isrcFromReply(std::span<const uint8_t> reply);

}  // namespace lumbra
