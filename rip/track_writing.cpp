#include "rip/track_writing.h"

#include <cstdio>

#include "cdaccess/audio_reads.h"
#include "cdaccess/cd_access.h"
#include "cdaccess/last_error.h"
#include "platform/file_entries.h"
#include "rip/loudness.h"
#include "rip/rip_messages.h"
#include "rip/track_encoder.h"
#include "rip/track_status.h"

namespace lumbra {
namespace {

constexpr int kChunkFrames = 26;
constexpr int kProgressEveryReads = 5;
constexpr int kOverlapFrames = 3;
constexpr int kCompareFrames = 1;

std::string readErrorText(int frame) {
    const int error = takeLastError();
    const unsigned status = takeLastStatus();
    char text[96];
    std::snprintf(text, sizeof text, rip_messages::kReadErrorFormat, frame, error, status);
    return text;
}

}  // namespace

void postProgress(const RipSession& session, const TrackEntry& track) {
    session.events.post(WM_RIP_PROGRESS, 0, &track);
}

void showRipError(const RipSession& session, const std::string& text) {
    session.prompts.show(ripErrorMessage(text));
}

bool askOverwrite(const RipSession& session, const std::string& path) {
    if (session.settings.overwrite) return true;
    // Whether the file exists, not whether it can be read: a file of mode 0200 is there too.
    if (!platform::entryExists(path)) return true;
    char text[1024];
    std::snprintf(text, sizeof text, rip_messages::kExistsFormat, path.c_str());
    const Message question{rip_messages::kConfirmCaption, text, MessageIcon::Information,
                           MessageButtons::YesNo};
    return session.prompts.show(question) != MessageAnswer::No;
}

void endTrack(const RipSession& session, TrackEntry& track, int32_t status) {
    track.status = status;
    postProgress(session, track);
}

std::string withPath(const char* text, const std::string& path) {
    return std::string(text) + "\n  " + path;
}

bool createdOutput(const RipSession& session, TrackEntry& track, const OutputFile& file) {
    if (file.isOpen()) return true;
    showRipError(session, withPath(rip_messages::kCannotCreateOutput, file.path()));
    track.status = kTrackFailed;
    return false;
}

void failOnWriteError(const RipSession& session, TrackEntry& track, const std::string& path) {
    showRipError(session, withPath(rip_messages::kWriteError, path));
    track.status = kTrackFailed;
}

ReadProgress scaledReadProgress(const RipSession& session, TrackEntry& track, int percentScale) {
    return [&session, &track, percentScale](int32_t framesRead) {
        track.status =
            int32_t(uint32_t(framesRead) * uint32_t(percentScale) / uint32_t(track.length));
        postProgress(session, track);
    };
}

ReadOutcome readTrackChunks(const RipSession& session, RipContext& context, int handle,
                            const ReadProgress& progress, const ChunkSink& sink) {
    TrackEntry& track = *context.track;
    int start = track.start;
    int remaining = track.length;
    for (int reads = 0; remaining > 0; ++reads) {
        if (!session.flags.ripRunning) {
            track.status = kTrackCancelled;
            return ReadOutcome::Cancelled;
        }
        if (reads % kProgressEveryReads == 0) progress(track.length - remaining);
        const int chunk = std::min(remaining, kChunkFrames);
        if (readForRip(handle, context.buffers, chunk, start, session.settings.jitterMode) != 1) {
            showRipError(session, readErrorText(start));
            track.status = kTrackFailed;
            return ReadOutcome::ReadFailed;
        }
        const TrackBuffer& read = *context.buffers.current;
        const std::span<const uint8_t> samples(read.data.data() + read.offset, size_t(read.length));
        if (context.loudness) context.loudness->add(samples);
        if (context.verifier) context.verifier->add(samples);
        if (!sink(samples)) return ReadOutcome::SinkFailed;
        start += chunk;
        remaining -= chunk;
    }
    if (context.verifier) context.verifier->complete(context.buffers.framesReRead);
    return ReadOutcome::Complete;
}

RipHandle::RipHandle(const OpenDriveRequest& drive) : CdHandle(drive) {
    if (!*this) return;
    setDriveParameter(get(), kParamOverlapFrames, kOverlapFrames);
    setDriveParameter(get(), kParamCompareFrames, kCompareFrames);
}

}  // namespace lumbra
