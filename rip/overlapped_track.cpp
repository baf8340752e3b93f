#include "rip/overlapped_track.h"

#include <algorithm>

#include "cdaccess/track_buffer.h"
#include "rip/rip_messages.h"
#include "rip/rip_steps.h"
#include "rip/track_status.h"

namespace lumbra {
namespace {

constexpr int32_t kReadShare = 40;
constexpr int32_t kEncodeShare = 60;

}  // namespace

SharedProgress::SharedProgress(const RipSession& session, TrackEntry& track, int32_t from)
    : session_(session), track_(track), from_(from) {}

void SharedProgress::read(int32_t framesRead) {
    readShare_ = int32_t(int64_t(framesRead) * kReadShare / std::max(track_.length, 1));
    post();
}

void SharedProgress::encoded(uint64_t bytes) {
    const uint64_t total = std::max<uint64_t>(uint64_t(track_.length) * kFrameBytes, 1);
    encodedShare_ = int32_t(std::min(bytes, total) * kEncodeShare / total);
    post();
}

void SharedProgress::post() {
    const std::lock_guard lock(posting_);
    // Short of done: only the encoder's end makes a track done.
    const int32_t percent = passStatus(from_, std::min(readShare_ + encodedShare_, kTrackDone - 1));
    if (track_.status.raise(percent)) postProgress(session_, track_);
}

ReadOutcome readTrackToAudio(const RipSession& session, RipContext& context, TrackAudio& audio,
                             bool encoderTakes, SharedProgress& progress) {
    TrackEntry& track = *context.track;
    ReadOutcome outcome = ReadOutcome::ReadFailed;
    {
        const RipHandle handle(session.drive);
        if (!handle.get()) {
            showRipError(session, rip_messages::kCannotGetDrive);
            track.status = kTrackFailed;
        } else {
            const auto toEncoder = [&](std::span<const uint8_t> cd) {
                return audio.append(cd, encoderTakes, session.flags.ripRunning);
            };
            const auto reported = [&progress](int32_t frames) { progress.read(frames); };
            outcome = readTrackChunks(session, context, handle.get(), reported, toEncoder);
        }
    }  // the drive is free before the encoder hears the track has ended
    if (outcome == ReadOutcome::Complete) progress.read(track.length);
    audio.close(outcome == ReadOutcome::Complete);
    return outcome;
}

AudioSource::Next HandedAudio::next(std::vector<uint8_t>& piece) {
    if (turns_.due()) progress_.encoded(delivered_);
    const Next taken = audio_.take(piece);
    if (taken == Next::Audio) delivered_ += piece.size();
    return taken;
}

}  // namespace lumbra
