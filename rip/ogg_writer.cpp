#include "rip/ogg_writer.h"

#include <algorithm>
#include <array>

#include "cdaccess/track_buffer.h"
#include "rip/ogg_track_writer.h"
#include "rip/rip_messages.h"
#include "rip/temporary_pcm.h"
#include "rip/track_status.h"
#include "rip/track_writing.h"

namespace lumbra {
namespace {

constexpr int kWholeTrack = 100;
constexpr int kPcmPhase = 40;  // the temporary-file writer filled 0 to 40 percent
constexpr int kProgressEveryBlocks = 10;
constexpr size_t kSampleBufferBytes = 4096;  // 1024 CD sample frames

// A stream that has been ended: the file is closed and kept, or deleted after a write error.
void keepFinished(const RipSession& session, TrackEntry& track, OutputFile& file) {
    if (file.close()) {
        track.status = kTrackDone;
        return;
    }
    file.discard();
    failOnWriteError(session, track, file.path());
}

void postConvertProgress(const RipSession& session, TrackEntry& track, uint64_t done) {
    const uint64_t total = uint64_t(track.length) * kFrameBytes;
    if (total == 0) return;
    track.status = int32_t(kPcmPhase + std::min(done, total) * (kWholeTrack - kPcmPhase) / total);
    postProgress(session, track);
}

// Sets up the encoder for the track, asks before overwriting and creates the output, then lets
// `encode` write the stream and posts the track's progress. When one of the first three fails,
// the track has ended there.
template <typename Encode>
void writeOggFile(const RipSession& session, TrackEntry& track, const std::string& outputPath,
                  Encode encode) {
    const auto encoder = setUpVorbisEncoder(session, track, outputPath);
    if (!encoder) return;
    if (!askOverwrite(session, outputPath)) return endTrack(session, track, kTrackCancelled);
    OutputFile file(outputPath);
    if (!createOutput(session, track, file)) return;
    OggTrackWriter writer(session, track, *encoder, file);
    encode(writer, file);
    postProgress(session, track);
}

void encodeFromDrive(const RipSession& session, RipContext& context, OggTrackWriter& writer,
                     OutputFile& file) {
    const RipHandle handle(session.drive);
    const auto sink = [&writer](std::span<const uint8_t> cd) { return writer.feed(cd); };
    if (writer.start() &&
        readTrackChunks(session, context, handle.get(), kWholeTrack, true, sink) ==
            ReadOutcome::Complete &&
        writer.finish()) {
        keepFinished(session, *context.track, file);
    }
}

// Encodes the whole temporary file. A stop keeps what was written (without an end-of-stream
// page), so the file goes only after a write or read error.
void encodeTemporaryFile(const RipSession& session, TrackEntry& track, TemporaryPcm& pcm,
                         OggTrackWriter& writer, OutputFile& file) {
    if (!writer.start()) return;
    std::array<uint8_t, kSampleBufferBytes> samples;
    uint64_t done = 0;
    for (int blocks = 0;; ++blocks) {
        const size_t count = pcm.read(samples);
        if (count == 0) break;
        done += count;
        if (!writer.feed({samples.data(), count})) {
            if (track.status == kTrackCancelled) file.close();
            return;
        }
        if (blocks % kProgressEveryBlocks == 0) postConvertProgress(session, track, done);
    }
    if (pcm.readFailed()) {
        showRipError(session, rip_messages::kCannotReadPcm);
        track.status = kTrackFailed;
        return;
    }
    if (writer.finish()) return keepFinished(session, track, file);
    if (track.status == kTrackCancelled) file.close();
}

}  // namespace

void ripTrackToOgg(const RipSession& session, RipContext& context) {
    writeOggFile(session, *context.track, context.outputPath,
                 [&](OggTrackWriter& writer, OutputFile& file) {
                     encodeFromDrive(session, context, writer, file);
                 });
}

void encodePcmToOgg(const RipSession& session, ConvertContext& context) {
    TrackEntry& track = *context.track;
    TemporaryPcm pcm(context.pcmPath);
    if (!pcm.isOpen()) {
        showRipError(session, rip_messages::kCannotOpenPcm);
        return endTrack(session, track, kTrackFailed);
    }
    writeOggFile(session, track, context.outputPath, [&](OggTrackWriter& writer, OutputFile& file) {
        encodeTemporaryFile(session, track, pcm, writer, file);
    });
}

}  // namespace lumbra
