#include "rip/mp3_writer.h"

#include <algorithm>
#include <vector>

#include "rip/id3v1_tag.h"
#include "rip/mp3_encoding.h"
#include "rip/mp3_stream_setup.h"
#include "rip/rip_messages.h"
#include "rip/temporary_pcm.h"
#include "rip/track_status.h"
#include "rip/track_writing.h"

namespace lumbra {
namespace {

using Step = Mp3Encoding::Step;

constexpr int kWholeTrack = 100;
constexpr uint64_t kConverterStart = 40;
constexpr uint64_t kConverterSpan = 60;
constexpr uint64_t kProgressEveryBlocks = 100;
bool ended(const TrackEntry& track) {
    return track.status == kTrackCancelled || track.status == kTrackFailed;
}

void failWrite(const RipSession& session, TrackEntry& track, OutputFile& file) {
    failOnWriteError(session, track, file.path());
    file.discard();
}

// Ends the track as the step says; true when the work goes on. A stop or an encoder failure
// keeps an end the track already has; a write error always fails it and deletes the file.
bool settle(const RipSession& session, TrackEntry& track, OutputFile& file, Step step) {
    switch (step) {
        case Step::Done:
            return true;
        case Step::Stopped:
            if (!ended(track)) track.status = kTrackCancelled;
            return false;
        case Step::EncoderFailed:
            if (!ended(track)) track.status = kTrackFailed;
            return false;
        case Step::WriteFailed:
            failWrite(session, track, file);
            return false;
    }
    return false;
}

LameStreamConfig streamConfigOf(const TrackEntry& track) {
    return lameStreamConfigFor(mp3FromSlots(track.encoderSettings));
}

// The encoder refusing the track's settings fails only this track; the box says which settings.
bool startEncoding(const RipSession& session, TrackEntry& track, Mp3Encoding& mp3) {
    const LameStreamConfig config = streamConfigOf(track);
    if (mp3.start(config)) return true;
    showRipError(session, rip_messages::kMp3EncoderSetupFailed + describeStreamSettings(config));
    track.status = kTrackFailed;
    return false;
}

// Closes the written file, appends the tag and, for a track that did not end otherwise, makes
// it Done with its header completed. A file that cannot be written whole fails and goes.
void completeFile(const RipSession& session, TrackEntry& track, OutputFile& file,
                  Mp3Encoding& mp3) {
    if (!file.close()) return failWrite(session, track, file);
    if (session.settings.id3Enable &&
        appendId3v1Tag(file.path(), track, session.disc) == TagAppend::WriteFailed &&
        !ended(track)) {
        return failWrite(session, track, file);
    }
    if (ended(track)) return;
    track.status = kTrackDone;
    mp3.writeVbrHeader(file.path());
}

void encodeFromDrive(const RipSession& session, RipContext& context, OutputFile& file,
                     Mp3Encoding& mp3) {
    TrackEntry& track = *context.track;
    const RipHandle handle(session.drive);
    if (!startEncoding(session, track, mp3)) return;
    const auto keepGoing = [&] { return session.flags.ripRunning != 0; };
    const auto sink = [&](std::span<const uint8_t> cd) {
        return settle(session, track, file, mp3.encode(cd, keepGoing));
    };
    if (readTrackChunks(session, context, handle.get(), kWholeTrack, false, sink) ==
        ReadOutcome::Complete) {
        settle(session, track, file, mp3.finish());
    }
}

int32_t converterProgress(uint64_t done, uint64_t total) {
    return int32_t(kConverterStart +
                   std::min(done, total) * kConverterSpan / std::max<uint64_t>(total, 1));
}

void encodeTemporaryFile(const RipSession& session, TrackEntry& track, TemporaryPcm& pcm,
                         OutputFile& file, Mp3Encoding& mp3) {
    const uint64_t total = pcm.size();
    std::vector<uint8_t> chunk(mp3.chunkBytes());
    uint64_t done = 0;
    for (uint64_t block = 0;; ++block) {
        const size_t read = pcm.read(chunk);
        if (read == 0) break;
        // An encoder or write failure ends the track without flushing the encoder.
        if (!settle(session, track, file, mp3.encode({chunk.data(), read}, [] { return true; })))
            return;
        done += read;
        if (!session.flags.ripRunning) {
            track.status = kTrackCancelled;
            break;
        }
        if (block % kProgressEveryBlocks == 0) {
            track.status = converterProgress(done, total);
            postProgress(session, track);
        }
    }
    settle(session, track, file, mp3.finish());
}

void convertToFile(const RipSession& session, ConvertContext& context, TemporaryPcm& pcm) {
    TrackEntry& track = *context.track;
    OutputFile file(context.outputPath);
    if (!file.isOpen()) {
        showRipError(session, withPath(rip_messages::kCannotCreateOutput, file.path()));
        track.status = kTrackFailed;
        return;
    }
    Mp3Encoding mp3(*context.encoderLibrary, file);
    if (startEncoding(session, track, mp3)) encodeTemporaryFile(session, track, pcm, file, mp3);
    mp3.closeStream();
    if (file.isOpen()) completeFile(session, track, file, mp3);
}

}  // namespace

void ripTrackToMp3(const RipSession& session, RipContext& context) {
    TrackEntry& track = *context.track;
    if (!askOverwrite(session, context.outputPath))
        return endTrack(session, track, kTrackCancelled);
    OutputFile file(context.outputPath);
    if (!createOutput(session, track, file)) return;
    Mp3Encoding mp3(*context.encoderLibrary, file);
    encodeFromDrive(session, context, file, mp3);
    mp3.closeStream();
    if (ended(track)) {
        file.discard();
    } else {
        completeFile(session, track, file, mp3);
    }
    postProgress(session, track);
}

void encodePcmToMp3(const RipSession& session, ConvertContext& context) {
    TrackEntry& track = *context.track;
    {
        TemporaryPcm pcm(context.pcmPath);
        if (!pcm.isOpen()) {
            showRipError(session, rip_messages::kCannotOpenPcm);
            track.status = kTrackFailed;
        } else if (!askOverwrite(session, context.outputPath)) {
            track.status = kTrackCancelled;
        } else {
            convertToFile(session, context, pcm);
        }
    }
    postProgress(session, track);
}

}  // namespace lumbra
