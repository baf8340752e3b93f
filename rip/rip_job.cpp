#include "rip/rip_job.h"

#include <algorithm>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

#include "naming/output_naming.h"
#include "platform/part_file.h"
#include "platform/thread_priority.h"
#include "rip/cover_art.h"
#include "rip/encoder_pool.h"
#include "rip/loudness.h"
#include "rip/overlapped_track.h"
#include "rip/paths_in_flight.h"
#include "rip/replay_gain_tags.h"
#include "rip/rip_log.h"
#include "rip/rip_messages.h"
#include "rip/rip_steps.h"
#include "rip/spill_room.h"
#include "rip/temporary_pcm.h"
#include "rip/temporary_pcm_writer.h"
#include "rip/test_read.h"
#include "rip/track_audio.h"
#include "rip/track_read_loop.h"
#include "rip/track_status.h"
#include "rip/track_writer.h"

namespace lumbra {
namespace {

enum class TrackEnd { Next, EndJob };

// Audio waiting for encoders is held in memory up to this much in all, the rest on disk.
constexpr size_t kAudioInMemoryBytes = size_t(16) << 20;

std::string localTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S %z", &local);
    return text;
}

RipLogHeader ripLogHeader(const RipSession& session) {
    const RipVerification& verification = *session.verification;
    return {"Lumbra CD Ripper " LUMBRA_VERSION, localTimeNow(),
            verification.driveDescription,      session.drive.readMethod,
            session.settings.jitterMode,        session.settings.antiCrackle,
            session.correction.samples,         accurateRipIdText(verification.disc),
            verification.lookupEnabled,         session.disc.catalogue};
}

// The job's reader and its encoder threads share the user's boxes: one at a time.
class OneAtATimePrompts : public Prompts {
public:
    explicit OneAtATimePrompts(Prompts& prompts) : prompts_(prompts) {}
    MessageAnswer show(const Message& message) override {
        const std::lock_guard lock(mutex_);
        return prompts_.show(message);
    }

private:
    Prompts& prompts_;
    std::mutex mutex_;
};

// A track on its way from the reader to an encoder thread. Its file's name and the disk room its
// file is expected to take are held until it has ended.
struct HandedTrack {
    HandedTrack(AudioBudget& budget, SpillRoom& room, PathsInFlight& paths,
                const RipSession& session, TrackEntry& entry,
                std::unique_ptr<TrackEncoder> trackEncoder, TrackToEncode in, int32_t progressFrom)
        : claim(paths, in.outputPath),
          reservation(room, SpillRoom::fileEstimate(uint64_t(entry.length) / kFramesPerSecond,
                                                    trackEncoder->bytesPerSecond())),
          audio(budget, room),
          progress(session, entry, progressFrom),
          track(entry),
          encoder(std::move(trackEncoder)),
          input(std::move(in)) {}

    const PathsInFlight::Claim claim;
    const SpillRoom::Reservation reservation;
    TrackAudio audio;
    SharedProgress progress;
    TrackEntry& track;
    std::unique_ptr<TrackEncoder> encoder;
    const TrackToEncode input;
};

class RipJob {
public:
    RipJob(const RipSession& session, std::vector<TrackEntry>& tracks,
           std::vector<TrackEntry> asStarted)
        : prompts_(session.prompts),
          session_{prompts_,          session.events,       session.flags,
                   session.settings,  session.disc,         session.drive,
                   session.formats,   session.verification, session.audioTracks,
                   session.correction},
          tracks_(tracks),
          asStarted_(std::move(asStarted)),
          loudness_(asStarted_.size()),
          outputPaths_(asStarted_.size()) {}

    void run() {
        if (prepared(folder_.prepare(&message_))) {
            // Temporary files of killed rips lie in the output folder itself.
            platform::removeLeftoverParts(folder_.nativePath(""));
            if (session_.verification) lookUpOnce(*session_.verification);
            startEncoders();
            for (size_t i = 0; i < asStarted_.size() && i < tracks_.size(); ++i) {
                if (!asStarted_[i].checked) continue;
                if (ripTrack(i) == TrackEnd::EndJob || !session_.flags.ripRunning) break;
            }
        }
        encoders_.reset();  // every track handed over has ended
        writeAlbumGain();
        factories_.clear();  // the libraries loaded for the job go before it reports its end
        writeRecords();
        session_.events.post(WM_RIP_DONE, 0, nullptr);
    }

private:
    // A folder that cannot be made ends the job: a warning, where a track's error informs.
    bool prepared(int result) {
        if (result) return true;
        session_.prompts.show({kErrorCaption, message_, MessageIcon::Warning, MessageButtons::Ok});
        return false;
    }

    TrackEnd ripTrack(size_t index) {
        TrackEntry& track = tracks_[index];
        const TrackEntry& entry = asStarted_[index];
        track.status = 0;
        if (session_.verification) verifier_.emplace(*session_.verification, track, index);
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
        // Nowhere to compare the reads without a verifier: no test read then.
        const bool tested = session_.settings.testAndCopy && verifier_;
        if (tested && !testedFirst(track)) return TrackEnd::EndJob;
        progressFrom_ = tested ? kTestReadShare : 0;
        const TrackToEncode input = encodingOf(entry, folder_.nativePath(name) + format->extension);
        // An earlier track still encoding to this name ends first, as on one thread.
        pathsInFlight_.waitUntilFree(input.outputPath);
        logged_.push_back({&track, input.outputPath});
        outputPaths_[index] = input.outputPath;
        LoudnessMeter* meter = measure(index, *format, input.outputPath);
        if (format->encodesBehindDrive && encoders_) return handOver(track, factory, input, meter);
        if (format->encodesBehindDrive && session_.settings.antiCrackle) {
            return throughTemporaryFile(track, factory, input, meter);
        }
        RipContext context = contextFor(track, input.outputPath, meter);
        writeTrackFromCd(session_, context, factory, input);
        tagFinishedTrack(index);
        return TrackEnd::Next;
    }

    // Test and copy's first read, compared once the track's file has been read; false when the
    // rip was stopped meanwhile.
    bool testedFirst(TrackEntry& track) {
        if (const auto crc32 = testReadCrc32(session_, track)) verifier_->testedWith(*crc32);
        if (!session_.flags.ripRunning) {
            endTrack(session_, track, kTrackCancelled);
            return false;
        }
        return true;
    }

    RipContext contextFor(TrackEntry& track, std::string readInto, LoudnessMeter* meter) {
        RipContext context{
            &track, std::move(readInto), {}, meter, verifier_ ? &*verifier_ : nullptr};
        context.progressFrom = progressFrom_;
        return context;
    }

    // The log and CUE sheet of what this job wrote, stopped or not: the report of the database's
    // verdicts, so a rip that does not ask the database leaves only its tracks.
    void writeRecords() const {
        if (!session_.verification || !session_.verification->lookupEnabled) return;
        writeRipRecords(ripLogHeader(session_), session_.disc, logged_);
    }

    TrackToEncode encodingOf(const TrackEntry& entry, std::string outputPath) const {
        const int32_t total =
            session_.audioTracks > 0 ? session_.audioTracks : int32_t(asStarted_.size());
        return {entry, total, session_.disc, session_.settings.id3Enable, std::move(outputPath)};
    }

    TrackEnd throughTemporaryFile(TrackEntry& track, EncoderFactory& factory,
                                  const TrackToEncode& input, LoudnessMeter* meter) {
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
        RipContext context = contextFor(track, pcm.path(), meter);
        if (!ripTrackToPcm(session_, context)) return TrackEnd::EndJob;
        if (!session_.flags.ripRunning) return TrackEnd::EndJob;
        encodeTemporaryFile(track, factory, input, pcm.path());
        tagFinishedTrack(size_t(&track - tracks_.data()));
        return TrackEnd::Next;
    }

    // The track read whole, encoded from the temporary file: only now comes the overwrite question.
    void encodeTemporaryFile(TrackEntry& track, EncoderFactory& factory, const TrackToEncode& input,
                             const std::string& pcmPath) {
        TemporaryPcm source(session_, track, pcmPath, progressFrom_);
        if (!source.isOpen()) {
            showRipError(session_, rip_messages::kCannotOpenPcm);
            endTrack(session_, track, kTrackFailed);
        } else if (!askOverwrite(session_, input.outputPath)) {
            endTrack(session_, track, kTrackCancelled);
        } else {
            writeTrackFromSource(session_, track, source, factory.create(input), input.outputPath);
        }
    }

    // Encoder threads pay off only when two tracks or more can encode at once; otherwise every
    // track is read and encoded in turn on this thread.
    void startEncoders() {
        const auto encoded =
            std::count_if(asStarted_.begin(), asStarted_.end(), [this](const auto& t) {
                const OutputFormatEntry* format = findOutputFormat(session_.formats, t.format);
                return t.checked && format && format->encodesBehindDrive;
            });
        const int threads = std::min(encoderThreadsFor(session_.settings.encoderThreads),
                                     int(std::min<ptrdiff_t>(encoded, kMaxThreads)));
        if (threads > 1) encoders_.emplace(threads);
    }

    // Reads the track here and has it encoded on an encoder thread: while it is read or, with
    // anti-crackle on, once it has been read whole (the overwrite question follows the reading
    // then, as it does through the temporary file).
    TrackEnd handOver(TrackEntry& track, EncoderFactory& factory, const TrackToEncode& input,
                      LoudnessMeter* meter) {
        const bool encodeWhileReading = !session_.settings.antiCrackle;
        if (encodeWhileReading && !askOverwrite(session_, input.outputPath)) {
            endTrack(session_, track, kTrackCancelled);
            return TrackEnd::Next;
        }
        auto handed =
            std::make_shared<HandedTrack>(budget_, spillRoom_, pathsInFlight_, session_, track,
                                          factory.create(input), input, progressFrom_);
        if (encodeWhileReading) encode(handed);
        RipContext context = contextFor(track, input.outputPath, meter);
        const ReadOutcome read = readTrackToAudio(session_, context, handed->audio,
                                                  encodeWhileReading, handed->progress);
        if (encodeWhileReading) return TrackEnd::Next;
        if (read != ReadOutcome::Complete) return endReadFirst(track, read);
        if (!askOverwrite(session_, input.outputPath)) {
            endTrack(session_, track, kTrackCancelled);
            return TrackEnd::Next;
        }
        encode(handed);
        return TrackEnd::Next;
    }

    // As through the temporary file: a track whose reading failed ends the job.
    TrackEnd endReadFirst(TrackEntry& track, ReadOutcome read) {
        if (read == ReadOutcome::SinkFailed) {
            const std::string folder = folder_.nativePath("");
            failOnWriteError(session_, track, folder.empty() ? "./" : folder);
        }
        track.status.replaceBelow(kTrackDone, kTrackCancelled);
        postProgress(session_, track);
        return TrackEnd::EndJob;
    }

    void encode(const std::shared_ptr<HandedTrack>& handed) {
        encoders_->run([this, handed] {
            HandedAudio source(handed->audio, handed->progress);
            writeTrackFromSource(session_, handed->track, source, std::move(handed->encoder),
                                 handed->input.outputPath);
            tagFinishedTrack(size_t(&handed->track - tracks_.data()));
        });
    }

    // A meter for the track when ReplayGain is wanted and its file can carry tags (an MP3 file
    // only with the tag setting on).
    LoudnessMeter* measure(size_t index, const OutputFormatEntry& format, const std::string& path) {
        const bool mp3 = std::string_view(format.extension) == ".mp3";
        if (!session_.settings.replayGain || (mp3 && !session_.settings.id3Enable)) return nullptr;
        loudness_[index] = {std::make_unique<LoudnessMeter>(), path};
        return loudness_[index].meter.get();
    }

    // Called on the thread that finished the track, once it is done.
    void tagFinishedTrack(size_t index) {
        if (tracks_[index].status != kTrackDone) return;
        const std::string& path = outputPaths_[index];
        const bool mp3 = path.ends_with(".mp3");
        covers_.addTo(path, !mp3 || session_.settings.id3Enable);
        const MeasuredTrack& measured = loudness_[index];
        if (measured.meter) {
            writeReplayGainTags(measured.path, {measured.meter->trackGain(), std::nullopt});
        }
    }

    // Only an album whose every ticked track is done has an album gain: a stopped or failed rip
    // writes none.
    void writeAlbumGain() {
        std::vector<const LoudnessMeter*> meters;
        for (size_t i = 0; i < asStarted_.size() && i < tracks_.size(); ++i) {
            if (!asStarted_[i].checked) continue;
            if (!loudness_[i].meter || tracks_[i].status != kTrackDone) return;
            meters.push_back(loudness_[i].meter.get());
        }
        if (meters.empty() || !session_.flags.ripRunning) return;
        const GainAndPeak album = LoudnessMeter::albumGain(meters);
        for (const MeasuredTrack& measured : loudness_) {
            if (measured.meter)
                writeReplayGainTags(measured.path, {measured.meter->trackGain(), album});
        }
    }

    // One factory per format the job meets, kept until the job ends.
    EncoderFactory& factoryFor(const OutputFormatEntry& format) {
        auto& factory = factories_[format.id];
        if (!factory) factory = format.factory();
        return *factory;
    }

    static constexpr ptrdiff_t kMaxThreads = 99;

    OneAtATimePrompts prompts_;
    const RipSession session_;
    std::vector<TrackEntry>& tracks_;  // where the job reports each track's status
    // The entries as they were when the job started: the user may give the listed tracks other
    // settings meanwhile, which are for the next rip, and reading them here would race.
    const std::vector<TrackEntry> asStarted_;
    const OutputFolder folder_{session_.settings.outputFolder};
    std::string message_;
    std::map<int32_t, std::unique_ptr<EncoderFactory>> factories_;
    AudioBudget budget_{kAudioInMemoryBytes};
    struct MeasuredTrack {
        std::unique_ptr<LoudnessMeter> meter;
        std::string path;
    };
    std::vector<MeasuredTrack> loudness_;   // by track index, for the tracks measured
    std::vector<std::string> outputPaths_;  // by track index, for the tracks started
    CoverArtWriter covers_{session_.settings.musicBrainz.coverArt ? session_.disc.coverArt : ""};
    SpillRoom spillRoom_{folder_.nativePath("")};
    PathsInFlight pathsInFlight_;
    std::optional<EncoderPool> encoders_;
    std::optional<TrackVerifier> verifier_;  // the track being read
    int32_t progressFrom_ = 0;               // where the track's writing pass starts its status
    std::vector<LoggedTrack> logged_;        // the tracks the job got to, for the rip log
};

}  // namespace

void runRipJob(const RipSession& session, std::vector<TrackEntry>& tracks) {
    RipJob(session, tracks, tracks).run();
}

std::thread startRipJob(const RipSession& session, std::vector<TrackEntry>& tracks) {
    return std::thread([&session, &tracks, asStarted = tracks]() mutable {
        // Ripping yields the processor to everything else the user does; the encoder threads
        // started by the job keep the reader's priority.
        platform::useLowestNormalPriority();
        RipJob(session, tracks, std::move(asStarted)).run();
    });
}

}  // namespace lumbra
