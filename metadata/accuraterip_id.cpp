#include "metadata/accuraterip_id.h"

#include <algorithm>
#include <cstdio>

#include "cdaccess/cd_frame.h"
#include "metadata/disc_id.h"

namespace lumbra {
namespace {

int tracksIn(const TocBuffer& toc) {
    return std::clamp(toc.lastTrack - toc.firstTrack + 1, 0, kMaxTocDescriptors - 1);
}

uint32_t lbaAt(const TocBuffer& toc, int position) {
    return uint32_t(std::max(descriptorLba(toc.descriptors[position], false), 0));
}

// Table addresses count from the start of the program area; freedb counts the lead-in too.
uint32_t freedbSeconds(const TocBuffer& toc, int position) {
    return (lbaAt(toc, position) + uint32_t(kLeadInFrames)) / uint32_t(kFramesPerSecond);
}

uint32_t freedbId(const TocBuffer& toc, int tracks) {
    uint32_t digits = 0;
    for (int i = 0; i < tracks; ++i) digits += digitSum(freedbSeconds(toc, i));
    const uint32_t length = freedbSeconds(toc, tracks) - freedbSeconds(toc, 0);
    return (digits % 255) << 24 | length << 8 | uint32_t(tracks);
}

}  // namespace

AccurateRipDiscId accurateRipDiscId(const TocBuffer& toc) {
    AccurateRipDiscId id;
    const int tracks = tracksIn(toc);
    if (tracks == 0) return id;
    for (int i = 0; i < tracks; ++i) {
        if (toc.descriptors[i].adrControl & kDataTrackControl) continue;
        const uint32_t start = lbaAt(toc, i);
        ++id.audioTracks;
        id.id1 += start;
        // A track at address 0 still leaves its mark on the second ID.
        id.id2 += std::max(start, 1u) * uint32_t(id.audioTracks);
    }
    const uint32_t leadOut = lbaAt(toc, tracks);
    id.id1 += leadOut;
    id.id2 += leadOut * uint32_t(id.audioTracks + 1);
    id.cddb = freedbId(toc, tracks);
    return id;
}

std::string accurateRipIdText(const AccurateRipDiscId& id) {
    char text[40];
    std::snprintf(text, sizeof text, "%03d-%08x-%08x-%08x", id.audioTracks, id.id1, id.id2,
                  id.cddb);
    return text;
}

std::string accurateRipPath(const AccurateRipDiscId& id) {
    char folders[32];
    std::snprintf(folders, sizeof folders, "/accuraterip/%x/%x/%x/", id.id1 & 15, id.id1 >> 4 & 15,
                  id.id1 >> 8 & 15);
    return folders + ("dBAR-" + accurateRipIdText(id) + ".bin");
}

}  // namespace lumbra
