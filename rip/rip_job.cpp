#include "rip/rip_job.h"

#include <optional>
#include <pthread.h>
#include <sched.h>

#include "app/encoder_settings.h"
#include "naming/output_naming.h"
#include "platform/text_encoding.h"
#include "rip/compressed_formats.h"
#include "rip/encoder_library.h"
#include "rip/pcm_writers.h"
#include "rip/rip_messages.h"
#include "rip/track_writing.h"

namespace lumbra {
namespace {

constexpr size_t kSystemTextLimit = 127;

enum class TrackEnd { Next, EndJob };

class RipJob {
public:
    RipJob(const RipSession& session, std::vector<TrackEntry>& tracks)
        : session_(session), tracks_(tracks) {}

    void run() {
        if (prepared(folder_.prepare(&message_))) {
            for (size_t i = 0; i < tracks_.size(); ++i) {
                if (!tracks_[i].checked) continue;
                if (ripTrack(i) == TrackEnd::EndJob || !session_.flags.ripRunning) break;
            }
        }
        lame_.reset();
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
        track.status = 0;
        session_.flags.currentTrackIndex = int32_t(index);
        std::string name = expandNamingTemplate(session_.settings.namingTemplate, session_.disc, track);
        if (!prepared(folder_.prepareOutputPath(name, &message_))) return TrackEnd::EndJob;
        const std::string outputPath = folder_.nativePath(name) + std::string(extensionFor(track.format));
        switch (track.format) {
            case kFormatWav:
                return ripWav(track, outputPath);
            case kFormatMp3:
                if (!lameReady()) return TrackEnd::Next;
                return ripCompressed(track, outputPath);
            case kFormatOgg:
                return ripCompressed(track, outputPath);
            case kFormatWma:
                if (!wmaLibraryPresent()) return TrackEnd::Next;
                return ripCompressed(track, outputPath);
            default:
                return TrackEnd::Next;
        }
    }

    RipContext contextFor(TrackEntry& track, std::string outputPath) {
        RipContext context;
        context.track = &track;
        context.outputPath = std::move(outputPath);
        context.encoderLibrary = lame_.get();
        return context;
    }

    TrackEnd ripWav(TrackEntry& track, const std::string& outputPath) {
        RipContext context = contextFor(track, outputPath);
        ripTrackToWav(session_, context);
        return TrackEnd::Next;
    }

    TrackEnd ripCompressed(TrackEntry& track, const std::string& outputPath) {
        const CompressedFormatWriters writers = compressedFormatWriters(track.format);
        if (!session_.settings.antiCrackle) {
            RipContext context = contextFor(track, outputPath);
            writers.ripDirect(session_, context);
            return TrackEnd::Next;
        }
        const std::string pcmPath = folder_.nativePath(kTempPcmName);
        RipContext context = contextFor(track, pcmPath);
        if (!ripTrackToPcm(session_, context)) return TrackEnd::EndJob;
        if (!session_.flags.ripRunning) return TrackEnd::EndJob;
        ConvertContext convert{&track, pcmPath, outputPath, lame_.get()};
        writers.encodeFromPcm(session_, convert);
        return TrackEnd::Next;
    }

    // The MP3 encoder library, loaded by the first MP3 track that needs it and kept for the
    // job; a track that cannot get it is passed over with its status left at 0.
    bool lameReady() {
        if (lame_) return true;
        LoadedEncoderLibrary loaded = loadEncoderLibrary(kLameLibraryName, kLameEntryPointNames);
        if (!loaded.loaded) {
            showRipError(session_, std::string(rip_messages::kLameLoadError) + "\n" +
                                       platform::utf8Prefix(loaded.error, kSystemTextLimit));
            return false;
        }
        if (!loaded.entryPointsFound) {
            showRipError(session_, rip_messages::kLameEntryError);
            return false;
        }
        lame_ = std::move(loaded.library);
        return true;
    }

    bool wmaLibraryPresent() {
        const LoadedEncoderLibrary loaded = loadEncoderLibrary(kWmaLibraryName, {});
        if (loaded.loaded) return true;
        showRipError(session_, std::string(rip_messages::kWmaLibraryMissing) + "\n" +
                                   platform::utf8Prefix(loaded.error, kSystemTextLimit));
        return false;
    }

    const RipSession& session_;
    std::vector<TrackEntry>& tracks_;
    const OutputFolder folder_{session_.settings.outputFolder};
    std::string message_;
    std::unique_ptr<platform::SharedLibrary> lame_;
};

}  // namespace

void runRipJob(const RipSession& session, std::vector<TrackEntry>& tracks) {
    RipJob(session, tracks).run();
}

std::thread startRipJob(const RipSession& session, std::vector<TrackEntry>& tracks) {
    return std::thread([&session, &tracks] {
        // Ripping yields the processor to everything else the user does.
        sched_param idle{};
        pthread_setschedparam(pthread_self(), SCHED_IDLE, &idle);
        runRipJob(session, tracks);
    });
}

}  // namespace lumbra
