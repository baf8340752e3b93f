#include "rip/test_read.h"

#include "rip/track_checksums.h"
#include "rip/track_read_loop.h"
#include "rip/track_status.h"

namespace lumbra {

std::optional<uint32_t> testReadCrc32(const RipSession& session, TrackEntry& track) {
    const RipHandle handle(session.drive);
    if (!handle.get()) return std::nullopt;
    RipContext context;
    context.track = &track;
    context.unreadableIsSilence = true;
    TrackChecksums sums(uint32_t(track.length) * kSamplesPerFrame, false, false);
    const auto tested = [&sums](std::span<const uint8_t> samples) {
        sums.add(samples);
        return true;
    };
    const ReadOutcome outcome =
        readTrackChunks(session, context, handle.get(),
                        scaledReadProgress(session, track, 0, kTestReadShare), tested);
    if (outcome != ReadOutcome::Complete) return std::nullopt;
    return sums.values().crc32;
}

}  // namespace lumbra
