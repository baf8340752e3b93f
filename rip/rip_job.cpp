#include "rip/rip_job.h"

#include <pthread.h>
#include <sched.h>
#include <map>
#include <memory>

#include "naming/output_naming.h"
#include "platform/part_file.h"
#include "rip/rip_messages.h"
#include "rip/temporary_pcm_writer.h"
#include "rip/track_status.h"
#include "rip/track_writer.h"
#include "rip/track_writing.h"

namespace lumbra {
namespace {

enum class TrackEnd { Next, EndJob };

class RipJob {
public:
    RipJob(const RipSession& session, std::vector<TrackEntry>& tracks,
           std::vector<TrackEntry> asStarted)
        : session_(session), tracks_(tracks), asStarted_(std::move(asStarted)) {}

    void run() {
        if (prepared(folder_.prepare(&message_))) {
            // Temporary files of killed rips lie in the output folder itself.
            platform::removeLeftoverParts(folder_.nativePath(""));
            for (size_t i = 0; i < asStarted_.size() && i < tracks_.size(); ++i) {
                if (!asStarted_[i].checked) continue;
                if (ripTrack(i) == TrackEnd::EndJob || !session_.flags.ripRunning) break;
            }
        }
        factories_.clear();  // the libraries loaded for the job go before it reports its end
        session_.events.post(WM_RIP_DONE, 0, nullptr);
    }

private:
    bool prepared(int result) {
        if (result) return true;
        showRipError(session_, message_);
        return false;
    }

    TrackEnd ripTrack(size_t index) {
        TrackEntry& track = tracks_[index];
        const TrackEntry& entry = asStarted_[index];
        track.status = 0;
        session_.flags.currentTrackIndex = int32_t(index);
        std::string name =
            expandNamingTemplate(session_.settings.namingTemplate, session_.disc, entry);
        if (!prepared(folder_.prepareOutputPath(name, &message_))) return TrackEnd::EndJob;
        const OutputFormatEntry* format = findOutputFormat(session_.formats, entry.format);
        if (!format) return TrackEnd::Next;
        EncoderFactory& factory = factoryFor(*format);
        if (const auto reason = factory.unavailable()) {
            showRipError(session_, *reason);
            return TrackEnd::Next;
        }
        const TrackToEncode input = encodingOf(entry, folder_.nativePath(name) + format->extension);
        if (format->encodesBehindDrive && session_.settings.antiCrackle) {
            return throughTemporaryFile(track, factory, input);
        }
        RipContext context{&track, input.outputPath, {}};
        writeTrackFromCd(session_, context, factory, input);
        return TrackEnd::Next;
    }

    TrackToEncode encodingOf(const TrackEntry& entry, std::string outputPath) const {
        return {entry, int32_t(asStarted_.size()), session_.disc, session_.settings.id3Enable,
                std::move(outputPath)};
    }

    TrackEnd throughTemporaryFile(TrackEntry& track, EncoderFactory& factory,
                                  const TrackToEncode& input) {
        // A file of this job's own, so rips into the same folder at once never share one, and
        // removed on every path when it goes.
        const platform::PartFile pcm(folder_.nativePath(""), kTempPcmExtension);
        if (!pcm.isOpen()) {
            const std::string folder = folder_.nativePath("");
            showRipError(session_, withPath(rip_messages::kCannotCreateOutput,
                                            folder.empty() ? "./" : folder));
            endTrack(session_, track, kTrackFailed);
            return TrackEnd::EndJob;
        }
        RipContext context{&track, pcm.path(), {}};
        if (!ripTrackToPcm(session_, context)) return TrackEnd::EndJob;
        if (!session_.flags.ripRunning) return TrackEnd::EndJob;
        ConvertContext convert{&track, pcm.path(), input.outputPath};
        writeTrackFromPcm(session_, convert, factory, input);
        return TrackEnd::Next;
    }

    // One factory per format the job meets, kept until the job ends.
    EncoderFactory& factoryFor(const OutputFormatEntry& format) {
        auto& factory = factories_[format.id];
        if (!factory) factory = format.factory();
        return *factory;
    }

    const RipSession& session_;
    std::vector<TrackEntry>& tracks_;  // where the job reports each track's status
    // The entries as they were when the job started: the user may give the listed tracks other
    // settings meanwhile, which are for the next rip, and reading them here would race.
    const std::vector<TrackEntry> asStarted_;
    const OutputFolder folder_{session_.settings.outputFolder};
    std::string message_;
    std::map<int32_t, std::unique_ptr<EncoderFactory>> factories_;
};

}  // namespace

void runRipJob(const RipSession& session, std::vector<TrackEntry>& tracks) {
    RipJob(session, tracks, tracks).run();
}

std::thread startRipJob(const RipSession& session, std::vector<TrackEntry>& tracks) {
    return std::thread([&session, &tracks, asStarted = tracks]() mutable {
        // Ripping yields the processor to everything else the user does.
        sched_param idle{};
        pthread_setschedparam(pthread_self(), SCHED_IDLE, &idle);
        RipJob(session, tracks, std::move(asStarted)).run();
    });
}

}  // namespace lumbra
