#include "rip/track_read_loop.h"

#include <array>
#include <cstdio>

#include "cdaccess/cd_access.h"
#include "cdaccess/last_error.h"
#include "cdaccess/rip_reads.h"
#include "cdaccess/track_buffer.h"
#include "rip/corrected_samples.h"
#include "rip/loudness.h"
#include "rip/rip_messages.h"
#include "rip/rip_steps.h"
#include "rip/track_status.h"

namespace lumbra {
namespace {

constexpr int kProgressEveryReads = 5;
constexpr int kCompareFrames = 1;

std::string readErrorText(int frame) {
    const int error = takeLastError();
    const unsigned status = takeLastStatus();
    char text[96];
    std::snprintf(text, sizeof text, rip_messages::kReadErrorFormat, frame, error, status);
    return text;
}

std::span<const uint8_t> silentFrames(int frames) {
    static const std::array<uint8_t, size_t(kRipReadFrames) * kFrameBytes> kSilence{};
    return std::span(kSilence).first(size_t(frames) * kFrameBytes);
}

}  // namespace

ReadProgress scaledReadProgress(const RipSession& session, TrackEntry& track, int32_t from,
                                int32_t to) {
    return [&session, &track, from, to](int32_t framesRead) {
        track.status =
            from + int32_t(uint32_t(framesRead) * uint32_t(to - from) / uint32_t(track.length));
        postProgress(session, track);
    };
}

ReadOutcome readTrackChunks(const RipSession& session, RipContext& context, int handle,
                            const ReadProgress& progress, const ChunkSink& sink) {
    TrackEntry& track = *context.track;
    const CorrectedReadPlan plan = planCorrectedRead(track.start, track.length, session.correction);
    CorrectedSamples out(plan, [&](std::span<const uint8_t> samples) {
        if (context.loudness) context.loudness->add(samples);
        if (context.verifier) context.verifier->add(samples);
        return sink(samples);
    });
    if (!out.silence(plan.silenceBefore)) return ReadOutcome::SinkFailed;
    int start = plan.firstFrame;
    int remaining = plan.frames;
    for (int reads = 0; remaining > 0; ++reads) {
        if (!session.flags.ripRunning) {
            track.status = kTrackCancelled;
            return ReadOutcome::Cancelled;
        }
        if (reads % kProgressEveryReads == 0) {
            progress(std::min(track.length, plan.frames - remaining));
        }
        const int chunk = std::min(remaining, kRipReadFrames);
        const bool readable =
            readForRip(handle, context.buffers, chunk, start, session.settings.jitterMode) == 1;
        if (!readable && !context.unreadableIsSilence) {
            showRipError(session, readErrorText(start));
            track.status = kTrackFailed;
            return ReadOutcome::ReadFailed;
        }
        const TrackBuffer& read = *context.buffers.current;
        const std::span<const uint8_t> bytes =
            readable ? std::span<const uint8_t>(read.data.data() + read.offset, size_t(read.length))
                     : silentFrames(chunk);
        if (!out.frames(bytes)) return ReadOutcome::SinkFailed;
        start += chunk;
        remaining -= chunk;
    }
    if (!out.silence(plan.silenceAfter)) return ReadOutcome::SinkFailed;
    if (context.verifier) {
        context.verifier->complete(context.buffers.framesReRead,
                                   plan.silenceBefore + plan.silenceAfter);
    }
    return ReadOutcome::Complete;
}

RipHandle::RipHandle(const OpenDriveRequest& drive) : CdHandle(drive) {
    if (!*this) return;
    setDriveParameter(get(), kParamOverlapFrames, kRipOverlapFrames);
    setDriveParameter(get(), kParamCompareFrames, kCompareFrames);
}

}  // namespace lumbra
