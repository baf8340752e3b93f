// Ripping 20 minutes of music-like audio to MP3 with the default settings (VBR quality 3 from
// 128 to 192 kbit/s, stereo, preset "fast standard", bit reservoir off), through the real job,
// transport, virtual drive and encoder library, against the lame command encoding the image's
// BIN file with the same settings. Both use the same libmp3lame, so the difference is what
// reading the disc, converting and our encoder loop cost. Wall time is the benchmark's time;
// cpu_s counts every thread of the process (the virtual drive's too) or of lame; peak_rss_MiB is
// the process's peak resident memory after whole-disc rips.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <sstream>

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

constexpr int kTrackFrames = 9000;  // two minutes
constexpr int kTrackCount = 10;
constexpr double kAudioSeconds = double(kTrackFrames) * kTrackCount / 75;
constexpr Mp3Settings kDefaultMp3{1, 1, 8, 1, 3, 10, 7};

double cpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double peakResidentMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024;  // kilobytes on Linux
}

double fileBytes(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? double(info.st_size) : 0;
}

// Writes the image in a child process, so that the 200 MB of generated audio never counts
// towards this process's peak memory.
bool writeImageApart(const std::string& folder) {
    const pid_t pid = fork();
    if (pid == 0) {
        test::writeCueImage(folder, "album", std::vector<int>(kTrackCount, kTrackFrames));
        _exit(0);
    }
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// The disc image and one virtual drive holding it, for the whole run.
class Disc {
public:
    Disc() {
        setenv("LUMBRA_IPC_NAMESPACE", ("bench" + std::to_string(getpid())).c_str(), 1);
        setenv("LUMBRA_ASPI_LIBRARY", LUMBRA_VIRTUAL_DRIVE_LIBRARY, 1);
        setenv("LUMBRA_PLUGIN_DIR", LUMBRA_LAME_PLUGIN_DIR, 1);
        setenv("LUMBRA_VIRTUAL_DISCS", dir_.file("album.cue").c_str(), 1);
        ok_ = writeImageApart(dir_.path()) && initCdAccess() && buildDriveList(drives_) > 0 &&
              refreshDisc(prompts_, drives_, 0, tracks_, settings_, true) == 0;
        settings_.outputFolder = dir_.file("out");
        settings_.namingTemplate = "<Title>";
        settings_.overwrite = true;
        settings_.encoder.mp3 = kDefaultMp3;
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
            track.format = kFormatMp3;
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

    double outputBytes() const {
        double bytes = 0;
        for (const auto& track : tracks_)
            bytes += fileBytes(settings_.outputFolder + "/" + track.title + ".mp3");
        return bytes;
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

// The default settings as lame's options: its fast standard preset, overridden by the VBR
// quality and bitrate bounds as our library does, stereo, no reservoir, MPEG-1 at 44.1 kHz.
// lame's own ReplayGain pass is off, as ours has none. The input is the BIN file's raw samples.
constexpr const char* kLameOptions =
    "--quiet --noreplaygain -r -s 44.1 --bitwidth 16 --signed --little-endian "
    "-m s --preset fast standard -V 3 -b 128 -B 192 --nores --resample 44.1";

bool runLame(const std::string& input, const std::string& output) {
    std::vector<std::string> args{"lame"};
    std::istringstream options(kLameOptions);
    for (std::string option; options >> option;) args.push_back(option);
    args.insert(args.end(), {input, output});
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, "lame", nullptr, nullptr, argv.data(), environ) != 0) return false;
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

void mp3RipThroughTheJob(benchmark::State& state) {
    timeEachRun(state, RUSAGE_SELF, [] { return disc().ripAll(); });
    state.counters["mp3_MB"] = disc().outputBytes() / 1e6;
    state.counters["peak_rss_MiB"] = peakResidentMiB();
}

void lameOnTheImage(benchmark::State& state) {
    const std::string output = disc().scratch("lame.mp3");
    timeEachRun(state, RUSAGE_CHILDREN, [&] { return runLame(disc().binPath(), output); });
    state.counters["mp3_MB"] = fileBytes(output) / 1e6;
}

BENCHMARK(mp3RipThroughTheJob)
    ->Unit(benchmark::kSecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK(lameOnTheImage)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1)->Repetitions(3);

}  // namespace
}  // namespace lumbra

BENCHMARK_MAIN();
