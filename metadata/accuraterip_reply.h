// Reading what the AccurateRip server answered, apart from the exchange and from the checksums,
// so that captured replies can be replayed in tests and fuzzers. Every function takes any bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "metadata/accuraterip_id.h"

namespace lumbra {

struct AccurateRipTrack {
    int confidence = 0;  // how many rips agreed
    uint32_t checksum = 0;
    uint32_t frame450 = 0;  // the checksum of frame 450 alone, for finding a drive's offset
};

// One pressing: its disc fingerprint (audioTracks is the block's track count) and its tracks.
struct AccurateRipPressing {
    AccurateRipDiscId id;
    std::vector<AccurateRipTrack> tracks;
};

// The database's blocks from the start of `body`: a track-count byte, the three IDs, then per
// track a confidence byte and two checksums, numbers little-endian. Bytes behind the last whole
// block (a cut-off reply) are ignored.
std::vector<AccurateRipPressing> parseAccurateRipReply(std::string_view body);

struct HttpReply {
    int status = 0;
    std::string_view body;
};

// The status and body of an HTTP/1.x reply; nullopt when it does not begin with a status line or
// its header never ends.
std::optional<HttpReply> splitHttpReply(std::string_view reply);

}  // namespace lumbra
