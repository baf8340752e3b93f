// The disc fingerprint the AccurateRip database files its pressings under, and where a reply for
// it lies on the database's server.
#pragma once

#include <cstdint>
#include <string>

#include "cdaccess/disc_toc.h"

namespace lumbra {

struct AccurateRipDiscId {
    int audioTracks = 0;
    uint32_t id1 = 0;   // sum of the audio tracks' start addresses and the lead-out's
    uint32_t id2 = 0;   // the same, each weighted by its audio track number
    uint32_t cddb = 0;  // the freedb-style ID of every track, data tracks included

    bool operator==(const AccurateRipDiscId&) const = default;
};

// The fingerprint of a plausible table of contents in LBA form. Only audio tracks count, numbered
// from 1 in disc order, and the lead-out is the disc's own, also when a data track follows the
// audio session of an Enhanced CD. A disc without audio tracks gives audioTracks 0.
AccurateRipDiscId accurateRipDiscId(const TocBuffer& lbaToc);

// "nnn-aaaaaaaa-bbbbbbbb-ffffffff".
std::string accurateRipIdText(const AccurateRipDiscId& id);

// "/accuraterip/a/b/c/dBAR-nnn-aaaaaaaa-bbbbbbbb-ffffffff.bin", a to c the low three hex digits
// of id1 from the lowest.
std::string accurateRipPath(const AccurateRipDiscId& id);

}  // namespace lumbra
