// Ripping the 74-minute image with one encoder thread, which reads and encodes each track in turn,
// against the default, one encoder thread per core while the drive reads on: to MP3 (the default
// settings), Ogg Vorbis (quality 9), FLAC (level 5 with verify) and Opus (160 kbit/s). Then, on a
// drive slowed by the virtual drive's delay fault, the MP3 rip with the default threads against
// reading the disc alone (a WAV rip, whose writing costs next to nothing): with a delay that makes
// reading about as long as encoding, the album should take little longer than reading it. Every rip
// goes through the real job, transport, virtual drive and encoders. Wall time is the benchmark's
// time; cpu_s counts every thread of the process; peak_rss_MiB is the process's peak resident
// memory so far. The slow drive's runs each need a process of their own, e.g.
// --benchmark_filter='OnASlowDrive/format:2/'; a delay of 2 ms makes this machine's reading about
// as long as its encoding.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "app/disc_refresh.h"
#include "cdaccess/cd_access.h"
#include "platform/prompts.h"
#include "platform/shared_memory.h"
#include "rip/encoder_pool.h"
#include "rip/rip_job.h"
#include "rip/track_status.h"
#include "rip_benchmark_support.h"
#include "settings/encoder_settings.h"
#include "settings/job_flags.h"
#include "unattended_front_end.h"

namespace {

namespace fs = std::filesystem;
using namespace lumbra;
using bench::NoEvents;
using bench::SilentPrompts;

constexpr Mp3Settings kDefaultMp3{1, 1, 8, 1, 3, 10, 7};

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

SettingsRecord ripSettings(int32_t format, int threads) {
    SettingsRecord settings;
    settings.outputFolder = (bench::seventyFourMinuteImage().folder / "parallel-out").string();
    settings.namingTemplate = "<Title>";
    settings.overwrite = true;
    settings.encoderThreads = threads;
    settings.defaultFormat = OutputFormat(format);
    settings.encoder.wav = {1, 1, 1};
    settings.encoder.mp3 = kDefaultMp3;
    settings.encoder.ogg = {0, 1, 0, 0, 1, 0, 0, 0, 3, 9};
    settings.encoder.flac = {5, 1};
    settings.encoder.opus = {5};
    return settings;
}

// Rips every track of the image; true when all of them are done.
bool ripImage(int32_t format, int threads, const std::string& faults) {
    setenv("LUMBRA_ASPI_LIBRARY", LUMBRA_VIRTUAL_DRIVE_LIBRARY, 1);
    setenv("LUMBRA_PLUGIN_DIR", LUMBRA_PLUGIN_FOLDER, 1);
    setenv("LUMBRA_VIRTUAL_DISCS", bench::seventyFourMinuteImage().cue.c_str(), 1);
    setenv("LUMBRA_VIRTUAL_FAULTS", faults.c_str(), 1);
    if (!initCdAccess()) return false;
    SilentPrompts prompts;
    NoEvents events;
    JobFlags flags;
    const SettingsRecord settings = ripSettings(format, threads);
    std::vector<DriveEntry> drives;
    std::vector<TrackEntry> tracks;
    bool done =
        buildDriveList(drives) > 0 && refreshDisc(prompts, drives, 0, tracks, settings, true) == 0;
    if (done) {
        for (auto& track : tracks) {
            track.checked = 1;
            track.format = format;
            applyEncoderDefaults(track, settings.encoder);
        }
        flags.ripRunning = 1;
        const DiscRecord disc;
        runRipJob({prompts, events, flags, settings, disc, drives[0].openRequest}, tracks);
        for (const auto& track : tracks) done = done && track.status == kTrackDone;
    }
    shutdownCdAccess();
    fs::remove_all(settings.outputFolder);
    return done;
}

// The virtual drive reads its faults once per process, when it is first loaded.
bool faultsHold(const std::string& faults) {
    static const std::string first = faults;
    return faults == first;
}

bool readyToRip(benchmark::State& state, const std::string& faults) {
    if (!faultsHold(faults)) {
        state.SkipWithError("another drive fault ran first: run it alone (--benchmark_filter)");
        return false;
    }
    setenv("LUMBRA_IPC_NAMESPACE", ("bench" + std::to_string(getpid())).c_str(), 1);
    return true;
}

// The counters every case reports, and the shared state its rips leave behind removed.
void endRips(benchmark::State& state, int threads) {
    state.counters["peak_rss_MiB"] = bench::peakResidentMiB();
    state.counters["threads"] = encoderThreadsFor(threads);
    platform::SharedMemory::remove(kSharedStateName);
}

struct TimedRip {
    bool done = false;
    double wallSeconds = 0;
    double cpuSeconds = 0;
};

TimedRip timedRip(int32_t format, int threads, const std::string& faults) {
    sync();  // the previous run's dirty pages are not written back during this one
    const double cpuBefore = cpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    TimedRip rip;
    rip.done = ripImage(format, threads, faults);
    rip.wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rip.cpuSeconds = cpuSeconds() - cpuBefore;
    return rip;
}

void timeRips(benchmark::State& state, int32_t format, int threads, const std::string& faults) {
    if (!readyToRip(state, faults)) return;
    double cpu = 0;
    for (auto _ : state) {
        const TimedRip rip = timedRip(format, threads, faults);
        if (!rip.done) return state.SkipWithError("a track failed");
        state.SetIterationTime(rip.wallSeconds);
        cpu += rip.cpuSeconds;
    }
    state.counters["cpu_s"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
    endRips(state, threads);
}

// range(0): the format. Each iteration rips the album with one encoder thread and then with the
// default threads, back to back: a shared machine's speed drifts over minutes, and a speed-up taken
// from runs minutes apart measures the drift as much as the threads. The iteration's time is the
// default threads' rip.
void BM_AlbumRipSpeedUp(benchmark::State& state) {
    if (!readyToRip(state, "")) return;
    const auto format = int32_t(state.range(0));
    TimedRip one;
    TimedRip all;
    for (auto _ : state) {
        one = timedRip(format, 1, "");
        all = timedRip(format, 0, "");
        if (!one.done || !all.done) return state.SkipWithError("a track failed");
        state.SetIterationTime(all.wallSeconds);
    }
    state.counters["one_thread_s"] = one.wallSeconds;
    state.counters["one_thread_cpu_s"] = one.cpuSeconds;
    state.counters["cpu_s"] = all.cpuSeconds;
    state.counters["speed_up"] = one.wallSeconds / all.wallSeconds;
    endRips(state, 0);
}

// range(0): the format (WAV reads the disc alone); range(1): the delay of each drive command in
// milliseconds. Default threads.
void BM_AlbumRipOnASlowDrive(benchmark::State& state) {
    timeRips(state, int32_t(state.range(0)), 0, "delay=" + std::to_string(state.range(1)));
}

// A speed-up is the ratio of two runs, so one slow run on a shared machine moves it by tenths:
// each figure is the median of three.
void threeRunsEach(benchmark::internal::Benchmark* runs) {
    runs->Unit(benchmark::kSecond)
        ->UseManualTime()
        ->Iterations(1)
        ->Repetitions(3)
        ->ReportAggregatesOnly(true);
}

BENCHMARK(BM_AlbumRipSpeedUp)
    ->ArgNames({"format"})
    ->Args({kFormatMp3})
    ->Args({kFormatOgg})
    ->Args({kFormatFlac})
    ->Args({kFormatOpus})
    ->Apply(threeRunsEach);
BENCHMARK(BM_AlbumRipOnASlowDrive)
    ->ArgNames({"format", "delay_ms"})
    ->ArgsProduct({{kFormatWav, kFormatMp3}, {2}})
    ->Apply(threeRunsEach);

}  // namespace

BENCHMARK_MAIN();
