#include "rip/pcm_writers.h"

#include "rip/rip_messages.h"
#include "rip/sample_conversion.h"
#include "rip/track_status.h"
#include "rip/track_writing.h"
#include "rip/wav_header.h"

namespace lumbra {
namespace {

constexpr int kWholeTrack = 100;
constexpr int kPcmPhase = 40;

// Finishes a WAV whose samples are all written: the converter's tail, then the real header.
bool finishWav(OutputFile& file, SampleConverter& converter, uint32_t& dataSize) {
    const auto tail = converter.finish();
    dataSize += uint32_t(tail.size());
    return file.write(tail) && file.writeAt(0, wavHeader(converter.target(), dataSize)) &&
           file.close();
}

}  // namespace

void ripTrackToWav(const RipSession& session, RipContext& context) {
    TrackEntry& track = *context.track;
    if (!askOverwrite(session, context.outputPath)) return endTrack(session, track, kTrackCancelled);
    OutputFile file(context.outputPath);
    if (!createOutput(session, track, file)) return;
    SampleConverter converter(wavFormatOf(wavFromSlots(track.encoderSettings)));
    uint32_t dataSize = 0;
    file.write(wavHeader(converter.target(), 0));
    RipHandle handle(session.drive);
    if (!handle.get()) {
        showRipError(session, rip_messages::kCannotGetDrive);
        return endTrack(session, track, kTrackFailed);
    }
    const auto sink = [&](std::span<const uint8_t> cd) {
        std::vector<uint8_t> converted;
        if (!converter.passesThrough()) converted = converter.convert(cd);
        const std::span<const uint8_t> bytes = converter.passesThrough() ? cd : converted;
        dataSize += uint32_t(bytes.size());
        if (file.write(bytes)) return true;
        failOnWriteError(session, track, context.outputPath);
        return false;
    };
    const ReadOutcome outcome = readTrackChunks(session, context, handle.get(), kWholeTrack, true, sink);
    if (outcome == ReadOutcome::Complete) {
        if (finishWav(file, converter, dataSize)) {
            track.status = kTrackDone;
        } else {
            file.discard();
            failOnWriteError(session, track, context.outputPath);
        }
    }
    postProgress(session, track);
}

bool ripTrackToPcm(const RipSession& session, RipContext& context) {
    TrackEntry& track = *context.track;
    OutputFile file(context.outputPath);
    if (!createOutput(session, track, file)) return false;
    RipHandle handle(session.drive);
    const auto sink = [&](std::span<const uint8_t> cd) {
        if (file.write(cd)) return true;
        failOnWriteError(session, track, context.outputPath);
        return false;
    };
    const ReadOutcome outcome = readTrackChunks(session, context, handle.get(), kPcmPhase, true, sink);
    bool goOn = true;
    switch (outcome) {
        case ReadOutcome::Complete:
            if (!file.close()) {
                file.discard();
                failOnWriteError(session, track, context.outputPath);
                goOn = false;
            }
            break;
        case ReadOutcome::Cancelled:
            break;  // the file goes with `file`
        case ReadOutcome::ReadFailed:
            file.close();  // kept for a look at what was read
            goOn = false;
            break;
        case ReadOutcome::SinkFailed:
            goOn = false;
            break;
    }
    postProgress(session, track);
    return goOn;
}

}  // namespace lumbra
