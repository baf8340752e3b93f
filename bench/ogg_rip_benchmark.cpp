// Ripping about 20 minutes of music-like audio to Ogg Vorbis with the default settings, through
// the real job, transport and virtual drive, against oggenc -q 4.5 encoding the same audio
// straight from the image's BIN file. Both encode with the same libvorbis, so the difference is
// what reading the disc and our encoder loop cost. Wall time is the benchmark's time; cpu_s
// counts every thread of the process (the virtual drive's too) or of oggenc.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <algorithm>
#include <chrono>

#include "app/encoder_settings.h"
#include "cdaccess/cd_access.h"
#include "cdaccess/disc_refresh.h"
#include "platform/shared_memory.h"
#include "rip/rip_job.h"
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
constexpr OggSettings kDefaultOgg{0, 1, 0, 0, 1, 0, 0, 0, 3, 9};

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
        setenv("LUMBRA_IPC_NAMESPACE", ("bench" + std::to_string(getpid())).c_str(), 1);
        setenv("LUMBRA_ASPI_LIBRARY", LUMBRA_VIRTUAL_DRIVE_LIBRARY, 1);
        const auto image =
            test::writeCueImage(dir_.path(), "album", std::vector<int>(kTrackCount, kTrackFrames));
        setenv("LUMBRA_VIRTUAL_DISCS", image.cuePath.c_str(), 1);
        ok_ = initCdAccess() && buildDriveList(drives_) > 0 &&
              refreshDisc(prompts_, drives_, 0, tracks_, settings_, true) == 0;
        settings_.outputFolder = dir_.file("out");
        settings_.namingTemplate = "<Title>";
        settings_.overwrite = true;
        settings_.encoder.ogg = kDefaultOgg;
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
            track.format = kFormatOgg;
            applyEncoderDefaults(track, settings_.encoder);
        }
        flags_.ripRunning = 1;
        const RipSession session{prompts_,  events_, flags_,
                                 settings_, disc_,   drives_[0].openRequest};
        runRipJob(session, tracks_);
        bool done = true;
        for (const auto& track : tracks_) done = done && track.status == 100;
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

bool runOggenc(const std::string& input, const std::string& output) {
    std::vector<std::string> args{"oggenc", "-Q", "-r", "-q", "4.5", "-o", output, input};
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, "oggenc", nullptr, nullptr, argv.data(), environ) != 0) return false;
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
        const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(wall.count());
        cpu += cpuSeconds(cpuOf) - cpuBefore;
    }
    state.counters["cpu_s"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
    state.counters["audio_s"] = kAudioSeconds;
}

void oggRipThroughTheJob(benchmark::State& state) {
    timeEachRun(state, RUSAGE_SELF, [] { return disc().ripAll(); });
}

void oggencOnTheImage(benchmark::State& state) {
    timeEachRun(state, RUSAGE_CHILDREN,
                [] { return runOggenc(disc().binPath(), disc().scratch("oggenc.ogg")); });
}

// On a shared machine the fastest of the runs is the one least disturbed by others.
double fastest(const std::vector<double>& runs) {
    return *std::min_element(runs.begin(), runs.end());
}

BENCHMARK(oggRipThroughTheJob)
    ->Unit(benchmark::kSecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->ComputeStatistics("min", fastest);
BENCHMARK(oggencOnTheImage)
    ->Unit(benchmark::kSecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->ComputeStatistics("min", fastest);

}  // namespace
}  // namespace lumbra

BENCHMARK_MAIN();
