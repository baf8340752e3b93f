#include "rip/track_writer.h"

#include <memory>
#include <vector>

#include "rip/output_file.h"
#include "rip/rip_messages.h"
#include "rip/rip_steps.h"
#include "rip/track_read_loop.h"
#include "rip/track_status.h"

namespace lumbra {
namespace {

constexpr int kWholeTrack = 100;

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

void encodeFrom(const RipSession& session, TrackEntry& track, AudioSource& source,
                TrackWrite& write) {
    std::vector<uint8_t> piece;
    for (;;) {
        switch (source.next(piece)) {
            case AudioSource::Next::Audio:
                break;
            case AudioSource::Next::End:
                return write.finish();
            case AudioSource::Next::Short:
                return write.abandon();
            case AudioSource::Next::Unreadable:
                return write.failReading(rip_messages::kCannotReadPcm);
        }
        if (!write.feed(piece)) return;
        if (!session.flags.ripRunning) {
            track.status = kTrackCancelled;
            return;
        }
    }
}

void writeFromSource(const RipSession& session, TrackEntry& track, AudioSource& source,
                     std::unique_ptr<TrackEncoder> encoder, const std::string& outputPath) {
    if (!session.flags.ripRunning) {
        track.status.replaceBelow(kTrackDone, kTrackCancelled);
        return;
    }
    OutputFile file(outputPath);
    if (!createdOutput(session, track, file)) return;
    TrackWrite write(session, track, file, std::move(encoder));
    if (write.start()) encodeFrom(session, track, source, write);
    source.release();
    write.settle();
}

}  // namespace

void writeTrackFromSource(const RipSession& session, TrackEntry& track, AudioSource& source,
                          std::unique_ptr<TrackEncoder> encoder, const std::string& outputPath) {
    writeFromSource(session, track, source, std::move(encoder), outputPath);
    source.release();
    postProgress(session, track);
}

void writeTrackFromCd(const RipSession& session, RipContext& context, EncoderFactory& factory,
                      const TrackToEncode& track) {
    writeFromCd(session, context, factory, track);
    postProgress(session, *context.track);
}

}  // namespace lumbra
