#include "rip/temporary_pcm_writer.h"

#include "rip/output_file.h"
#include "rip/rip_messages.h"
#include "rip/rip_steps.h"
#include "rip/track_read_loop.h"
#include "rip/track_status.h"

namespace lumbra {
namespace {

constexpr int kPcmPhase = 40;

// Reads the track into the open file; true when the job may go on.
bool fillFromCd(const RipSession& session, RipContext& context, OutputFile& file) {
    TrackEntry& track = *context.track;
    const RipHandle handle(session.drive);
    if (!handle.get()) {
        showRipError(session, rip_messages::kCannotGetDrive);
        track.status = kTrackFailed;
        return false;
    }
    const auto sink = [&](std::span<const uint8_t> cd) {
        if (file.write(cd)) return true;
        failOnWriteError(session, track, context.outputPath);
        return false;
    };
    switch (readTrackChunks(session, context, handle.get(),
                            scaledReadProgress(session, track, context.progressFrom,
                                               passStatus(context.progressFrom, kPcmPhase)),
                            sink)) {
        case ReadOutcome::Complete:
            if (file.close()) return true;
            failOnWriteError(session, track, context.outputPath);
            return false;
        case ReadOutcome::Cancelled:
            return true;
        case ReadOutcome::ReadFailed:
            return false;
        case ReadOutcome::SinkFailed:
            return false;
    }
    return false;
}

}  // namespace

bool ripTrackToPcm(const RipSession& session, RipContext& context) {
    TrackEntry& track = *context.track;
    bool goOn = false;
    {
        OutputFile file = OutputFile::inPlace(context.outputPath);
        goOn = createdOutput(session, track, file) && fillFromCd(session, context, file);
    }
    postProgress(session, track);
    return goOn;
}

}  // namespace lumbra
