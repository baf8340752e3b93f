#include "rip/track_writer.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "cdaccess/track_buffer.h"
#include "rip/output_file.h"
#include "rip/rip_messages.h"
#include "rip/temporary_pcm.h"
#include "rip/track_status.h"
#include "rip/track_writing.h"

namespace lumbra {
namespace {

constexpr int kWholeTrack = 100;
constexpr uint64_t kConverterStart = 40;  // the CD phase filled 0 to 40 percent
constexpr uint64_t kConverterSpan = 60;
// The temporary file is encoded in pieces of one CD read, with progress every fifth piece as
// while reading the CD.
constexpr size_t kPcmPieceBytes = 26 * size_t(kFrameBytes);
constexpr int kProgressEveryPieces = 5;

bool ended(const TrackEntry& track) {
    return track.status == kTrackCancelled || track.status == kTrackFailed;
}

// One track's file being filled by its encoder: the encoder's steps become the track's status and
// the user's boxes, and settle() decides whether the file stays.
class TrackWrite {
public:
    TrackWrite(const RipSession& session, TrackEntry& track, OutputFile& file,
               std::unique_ptr<TrackEncoder> encoder)
        : session_(session), track_(track), file_(file), encoder_(std::move(encoder)) {}

    // Each returns false once the track has ended.
    bool start() { return apply(encoder_->start(file_)); }
    bool feed(std::span<const uint8_t> cdAudio) { return apply(encoder_->feed(cdAudio)); }
    void finish() { apply(encoder_->finish()); }

    // The audio did not all arrive whole: the file cannot stay.
    void failReading(const char* text) {
        showRipError(session_, text);
        track_.status = kTrackFailed;
        spoiled_ = true;
    }

    // The audio stopped short; the reader has said why, or a stop cut it off.
    void abandon() {
        track_.status.replaceBelow(kTrackDone, kTrackCancelled);
        spoiled_ = true;
    }

    // A track that has not ended is Done once its file is closed, completed and under its final
    // name. Any other track leaves no file: a part of a track must never pass for the whole.
    void settle() {
        bool keep = !ended(track_) && !spoiled_;
        if (keep && !file_.close()) {
            failOnWriteError(session_, track_, file_.path());
            keep = false;
        }
        if (keep) encoder_->completeFile(file_.filePath());
        encoder_.reset();  // a library that holds the file lets go of it first
        if (keep && !file_.commit()) {
            failOnWriteError(session_, track_, file_.path());
            keep = false;
        }
        if (keep) {
            track_.status = kTrackDone;
        } else {
            file_.discard();
        }
    }

private:
    bool apply(const EncodeStep& step) {
        for (const Message& message : step.messages) session_.prompts.show(message);
        switch (step.result) {
            case EncodeResult::Ok:
                return true;
            case EncodeResult::Failed:
                if (!ended(track_)) track_.status = kTrackFailed;
                return false;
            case EncodeResult::WriteFailed:
                failOnWriteError(session_, track_, file_.path());
                spoiled_ = true;
                return false;
        }
        return false;
    }

    const RipSession& session_;
    TrackEntry& track_;
    OutputFile& file_;
    std::unique_ptr<TrackEncoder> encoder_;
    bool spoiled_ = false;
};

void writeFromCd(const RipSession& session, RipContext& context, EncoderFactory& factory,
                 const TrackToEncode& input) {
    TrackEntry& track = *context.track;
    if (!askOverwrite(session, context.outputPath)) {
        track.status = kTrackCancelled;
        return;
    }
    OutputFile file(context.outputPath);
    if (!createdOutput(session, track, file)) return;
    TrackWrite write(session, track, file, factory.create(input));
    {
        const RipHandle handle(session.drive);
        if (!handle.get()) {
            showRipError(session, rip_messages::kCannotGetDrive);
            track.status = kTrackFailed;
        } else if (write.start()) {
            const auto sink = [&write](std::span<const uint8_t> cd) { return write.feed(cd); };
            if (readTrackChunks(
                    session, context, handle.get(),
                    scaledReadProgress(session, track, context.progressFrom, kWholeTrack),
                    sink) == ReadOutcome::Complete) {
                write.finish();
            }
        }
    }  // the drive is free before the file is settled
    write.settle();
}

int32_t converterProgress(uint64_t done, uint64_t total) {
    return int32_t(kConverterStart +
                   std::min(done, total) * kConverterSpan / std::max<uint64_t>(total, 1));
}

void encodeTemporaryFile(const RipSession& session, ConvertContext& context, TemporaryPcm& pcm,
                         TrackWrite& write) {
    TrackEntry& track = *context.track;
    const uint64_t total = pcm.size();
    std::vector<uint8_t> piece(kPcmPieceBytes);
    uint64_t done = 0;
    for (int pieces = 0;; ++pieces) {
        const size_t count = pcm.read(piece);
        if (count == 0) break;
        if (pieces % kProgressEveryPieces == 0) {
            track.status = passStatus(context.progressFrom, converterProgress(done, total));
            postProgress(session, track);
        }
        if (!write.feed({piece.data(), count})) return;
        done += count;
        if (!session.flags.ripRunning) {
            track.status = kTrackCancelled;
            return;
        }
    }
    if (pcm.readFailed()) return write.failReading(rip_messages::kCannotReadPcm);
    write.finish();
}

void convertToFile(const RipSession& session, ConvertContext& context, TemporaryPcm& pcm,
                   EncoderFactory& factory, const TrackToEncode& input) {
    TrackEntry& track = *context.track;
    OutputFile file(context.outputPath);
    if (!createdOutput(session, track, file)) return;
    TrackWrite write(session, track, file, factory.create(input));
    if (write.start()) encodeTemporaryFile(session, context, pcm, write);
    write.settle();
}

void encodeAudio(const RipSession& session, TrackEntry& track, TrackAudio& audio, TrackWrite& write,
                 SharedProgress& progress) {
    std::vector<uint8_t> piece;
    uint64_t done = 0;
    for (int pieces = 0;; ++pieces) {
        if (pieces % kProgressEveryPieces == 0) progress.encoded(done);
        switch (audio.take(piece)) {
            case TrackAudio::Taken::Audio:
                break;
            case TrackAudio::Taken::End:
                return write.finish();
            case TrackAudio::Taken::Short:
                return write.abandon();
            case TrackAudio::Taken::Unreadable:
                return write.failReading(rip_messages::kCannotReadPcm);
        }
        if (!write.feed(piece)) return;
        done += piece.size();
        if (!session.flags.ripRunning) {
            track.status = kTrackCancelled;
            return;
        }
    }
}

void writeFromAudio(const RipSession& session, TrackEntry& track, TrackAudio& audio,
                    std::unique_ptr<TrackEncoder> encoder, const TrackToEncode& input,
                    SharedProgress& progress) {
    if (!session.flags.ripRunning) {
        track.status.replaceBelow(kTrackDone, kTrackCancelled);
        return;
    }
    OutputFile file(input.outputPath);
    if (!createdOutput(session, track, file)) return;
    TrackWrite write(session, track, file, std::move(encoder));
    if (write.start()) encodeAudio(session, track, audio, write, progress);
    audio.giveUp();  // the reader stops at once, and the memory is free while the file settles
    write.settle();
}

}  // namespace

void writeTrackFromAudio(const RipSession& session, TrackEntry& track, TrackAudio& audio,
                         std::unique_ptr<TrackEncoder> encoder, const TrackToEncode& input,
                         SharedProgress& progress) {
    writeFromAudio(session, track, audio, std::move(encoder), input, progress);
    audio.giveUp();
    postProgress(session, track);
}

void writeTrackFromCd(const RipSession& session, RipContext& context, EncoderFactory& factory,
                      const TrackToEncode& track) {
    writeFromCd(session, context, factory, track);
    postProgress(session, *context.track);
}

void writeTrackFromPcm(const RipSession& session, ConvertContext& context, EncoderFactory& factory,
                       const TrackToEncode& track) {
    TrackEntry& entry = *context.track;
    {
        TemporaryPcm pcm(context.pcmPath);
        if (!pcm.isOpen()) {
            showRipError(session, rip_messages::kCannotOpenPcm);
            entry.status = kTrackFailed;
        } else if (!askOverwrite(session, context.outputPath)) {
            entry.status = kTrackCancelled;
        } else {
            convertToFile(session, context, pcm, factory, track);
        }
    }
    postProgress(session, entry);
}

}  // namespace lumbra
