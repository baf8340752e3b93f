// What the database says about one ripped track.
#pragma once

#include <cstdint>
#include <vector>

#include "metadata/accuraterip_reply.h"

namespace lumbra {

// What a lookup learnt about a disc: its pressings, that the database has none, or nothing (no
// answer, an unreadable one, or one about another disc).
struct AccurateRipLookup {
    enum class Outcome { Found, NotInDatabase, Unavailable };
    Outcome outcome = Outcome::Unavailable;
    std::vector<AccurateRipPressing> pressings;  // those of the disc asked for
};

// Keeps the pressings filed under `disc` itself; Found when any is left, else Unavailable.
AccurateRipLookup lookupFromReply(std::vector<AccurateRipPressing> pressings,
                                  const AccurateRipDiscId& disc);

enum class AccurateRipResult { None, Accurate, Mismatch, NotInDatabase, Unavailable };

struct AccurateRipVerdict {
    AccurateRipResult result = AccurateRipResult::None;
    int confidence = 0;      // for Accurate: the highest confidence of a matching pressing
    bool matchedV2 = false;  // for Accurate: that pressing's checksum was the v2 one
};

// The verdict on the audio track `audioTrack` (from 1) of the looked-up disc with checksums v1
// and v2: Accurate when either equals the track's checksum in a pressing of confidence above 0.
AccurateRipVerdict verdictFor(const AccurateRipLookup& lookup, int audioTrack, uint32_t v1,
                              uint32_t v2);

}  // namespace lumbra
