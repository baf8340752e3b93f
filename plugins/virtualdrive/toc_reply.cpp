#include "plugins/virtualdrive/toc_reply.h"

#include "plugins/virtualdrive/mmc_opcodes.h"

namespace lumbra::virtualdrive {
namespace {

constexpr uint8_t kAdrPosition = 0x10;  // ADR 1: the Q sub-channel holds the position
constexpr uint8_t kControlData = 0x04;

void appendDescriptor(std::vector<uint8_t>& out, uint8_t number, bool data, uint32_t frame,
                      bool msf) {
    out.insert(out.end(), {0, uint8_t(kAdrPosition | (data ? kControlData : 0)), number, 0});
    if (msf) {
        const uint32_t f = frame + kLeadInFrames;
        out.insert(out.end(), {0, uint8_t(f / (60 * kFramesPerSecond)),
                               uint8_t(f / kFramesPerSecond % 60), uint8_t(f % kFramesPerSecond)});
    } else {
        out.insert(out.end(), {uint8_t(frame >> 24), uint8_t(frame >> 16), uint8_t(frame >> 8),
                               uint8_t(frame)});
    }
}

}  // namespace

std::variant<std::vector<uint8_t>, Sense> buildTocReply(const Disc& disc, bool msf,
                                                        uint8_t startingTrack) {
    const auto trackCount = uint8_t(disc.tracks.size());
    if (trackCount == 0) return kMediumNotPresent;
    const uint8_t first = startingTrack == 0 ? 1 : startingTrack;
    if (first > trackCount && first != kLeadOutTrack) return kInvalidFieldInCdb;

    std::vector<uint8_t> reply{0, 0, 1, trackCount};
    for (uint8_t number = first; number <= trackCount; ++number) {
        const DiscTrack& track = disc.tracks[number - 1];
        appendDescriptor(reply, number, track.data, track.start, msf);
    }
    appendDescriptor(reply, kLeadOutTrack, disc.tracks.back().data, disc.leadOut, msf);
    const size_t dataLength = reply.size() - 2;
    reply[0] = uint8_t(dataLength >> 8);
    reply[1] = uint8_t(dataLength);
    return reply;
}

}  // namespace lumbra::virtualdrive
