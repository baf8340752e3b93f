// Ripping about 20 minutes of music-like audio to WMA at 96 kbit/s, through the real job,
// transport, virtual drive and writer library, against ffmpeg's wmav2 encoder on the same audio
// read straight from the image's BIN file. Both encode with the same libavcodec, so the
// difference is what reading the disc, the writer interface and our block loop cost. Wall time
// is the benchmark's time; cpu_s counts every thread of the process (the virtual drive's too)
// or of ffmpeg.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <chrono>

#include "app/encoder_settings.h"
#include "cdaccess/cd_access.h"
#include "cdaccess/disc_refresh.h"
#include "platform/shared_memory.h"
#include "rip/rip_job.h"
#include "rip/track_status.h"
#include "support/cue_image.h"
#include "support/recording_events.h"
#include "support/recording_prompts.h"
#include "support/temp_dir.h"

extern char** environ;

namespace lumbra {
namespace {

constexpr int kTrackFrames = 18000;  // four minutes
constexpr int kTrackCount = 5;
constexpr double kAudioSeconds = double(kTrackFrames) * kTrackCount / 75;
constexpr WmaSettings kNinetySixKbps{0, 6, 1};

double cpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The disc image and one virtual drive holding it, for the whole run.
class Disc {
public:
    Disc() {
        setenv("LUMBRA_IPC_NAMESPACE", ("wmabench" + std::to_string(getpid())).c_str(), 1);
        setenv("LUMBRA_ASPI_LIBRARY", LUMBRA_VIRTUAL_DRIVE_LIBRARY, 1);
        const auto image =
            test::writeCueImage(dir_.path(), "album", std::vector<int>(kTrackCount, kTrackFrames));
        setenv("LUMBRA_VIRTUAL_DISCS", image.cuePath.c_str(), 1);
        ok_ = initCdAccess() && buildDriveList(drives_) > 0 &&
              refreshDisc(prompts_, drives_, 0, tracks_, settings_, true) == 0;
        settings_.outputFolder = dir_.file("out");
        settings_.namingTemplate = "<Title>";
        settings_.overwrite = true;
        settings_.encoder.wma = kNinetySixKbps;
    }
    Disc(const Disc&) = delete;
    Disc& operator=(const Disc&) = delete;
    ~Disc() {
        shutdownCdAccess();
        platform::SharedMemory::remove(kSharedStateName);
    }

    bool ok() const { return ok_; }
    std::string binPath() const { return dir_.file("album.bin"); }
    std::string scratch(const std::string& name) const { return dir_.file(name); }

    // Rips every track; true when all of them are done.
    bool ripAll() {
        for (auto& track : tracks_) {
            track.checked = 1;
            track.format = kFormatWma;
            applyEncoderDefaults(track, settings_.encoder);
        }
        flags_.ripRunning = 1;
        const RipSession session{prompts_,  events_, flags_,
                                 settings_, disc_,   drives_[0].openRequest};
        runRipJob(session, tracks_);
        bool done = true;
        for (const auto& track : tracks_) done = done && track.status == kTrackDone;
        return done;
    }

private:
    test::TempDir dir_;
    test::RecordingPrompts prompts_;
    test::RecordingEvents events_;
    JobFlags flags_;
    SettingsRecord settings_;
    DiscRecord disc_;
    std::vector<DriveEntry> drives_;
    std::vector<TrackEntry> tracks_;
    bool ok_ = false;
};

Disc& disc() {
    static Disc instance;
    return instance;
}

bool runFfmpeg(const std::string& input, const std::string& output) {
    std::vector<std::string> args{"ffmpeg", "-nostdin", "-loglevel", "error", "-y",  "-f",
                                  "s16le",  "-ar",      "44100",     "-ac",   "2",   "-i",
                                  input,    "-c:a",     "wmav2",     "-b:a",  "96k", output};
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, "ffmpeg", nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

template <typename Run>
void timeEachRun(benchmark::State& state, int cpuOf, Run run) {
    if (!disc().ok()) return state.SkipWithError("the virtual drive did not come up");
    double cpu = 0;
    for (auto _ : state) {
        const double cpuBefore = cpuSeconds(cpuOf);
        const auto start = std::chrono::steady_clock::now();
        if (!run()) return state.SkipWithError("the encode failed");
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        cpu += cpuSeconds(cpuOf) - cpuBefore;
    }
    state.counters["cpu_s"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
    state.counters["audio_s"] = kAudioSeconds;
}

void wmaRipThroughTheJob(benchmark::State& state) {
    timeEachRun(state, RUSAGE_SELF, [] { return disc().ripAll(); });
}

void ffmpegWmav2OnTheImage(benchmark::State& state) {
    timeEachRun(state, RUSAGE_CHILDREN,
                [] { return runFfmpeg(disc().binPath(), disc().scratch("ffmpeg.wma")); });
}

BENCHMARK(wmaRipThroughTheJob)
    ->Unit(benchmark::kSecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK(ffmpegWmav2OnTheImage)
    ->Unit(benchmark::kSecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3);

}  // namespace
}  // namespace lumbra

BENCHMARK_MAIN();
