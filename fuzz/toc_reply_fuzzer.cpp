// A drive's READ TOC reply is whatever its firmware (or a damaged disc) makes of it: any bytes
// must stay inside the 804-byte buffer, and a table taken for plausible must give every track a
// start, an end not before it and not past the lead-out, and a disc ID that counts its tracks.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "cdaccess/disc_toc.h"
#include "cdaccess/toc_validation.h"
#include "cdaccess/track_extent.h"
#include "metadata/disc_id.h"

namespace {

using namespace lumbra;

void check(bool condition) {
    if (!condition) std::abort();
}

int trackCount(const TocBuffer& toc) {
    return toc.lastTrack - toc.firstTrack + 1;
}

void checkLbaTracks(const TocBuffer& toc) {
    const int tracks = trackCount(toc);
    const int32_t leadOut = descriptorLba(toc.descriptors[tracks], false);
    for (int position = 0; position < tracks; ++position) {
        const int32_t start = descriptorLba(toc.descriptors[position], false);
        const int32_t end = trackEndLba(toc, position);
        check(start >= 0 && start <= end && end <= leadOut);
    }
}

void checkMsfDiscId(const TocBuffer& toc) {
    const DiscIdResult result = discIdFromToc(toc);
    const uint32_t tracks = uint32_t(trackCount(toc));
    check(result[1] == tracks && (result[0] & 0xFF) == tracks);
    for (uint32_t i = 0; i + 1 < tracks; ++i) check(result[2 + i] <= result[3 + i]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TocBuffer toc{};
    std::memcpy(&toc, data, std::min(size, sizeof toc));
    if (isPlausibleToc(toc, false)) checkLbaTracks(toc);
    if (isPlausibleToc(toc, true)) checkMsfDiscId(toc);
    // Whatever the table holds, the ID and the local key read only the buffer.
    discIdFromToc(toc);
    localDiscKeyFromToc(toc);
    return 0;
}
