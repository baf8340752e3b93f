// The CD player's processor use while it plays a track of a CUE image in real time, against
// ffmpeg reading the same samples at their own pace (-re) into a null output. The output side
// pulls a fiftieth of a second at a time, as a sound device does.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "cdaccess/cd_access.h"
#include "cdaccess/drive_discovery.h"
#include "player/cd_audio_device.h"
#include "rip_benchmark_support.h"
#include "support/cue_image.h"
#include "support/temp_dir.h"

namespace {

using namespace lumbra;
using Clock = std::chrono::steady_clock;

constexpr int kPlaySeconds = 20;
constexpr size_t kPullBytes = kCdSampleRate / 50 * kCdSampleBytes;

double cpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// An output that takes what a sound device would, no sooner: kPullBytes every 20 ms.
class PacedOutput : public AudioOutput {
public:
    bool start(SampleSource& source) override {
        source_ = &source;
        return true;
    }
    void suspend() override {}
    void stop() override {}

    // Pulls for `seconds` at the device's pace; the bytes taken.
    size_t run(int seconds) {
        std::vector<uint8_t> buffer(kPullBytes);
        size_t taken = 0;
        const auto begin = Clock::now();
        for (int tick = 0; tick < seconds * 50; ++tick) {
            taken += source_->readSamples(buffer);
            std::this_thread::sleep_until(begin + std::chrono::milliseconds(20 * (tick + 1)));
        }
        return taken;
    }

private:
    SampleSource* source_ = nullptr;
};

struct Disc {
    test::TempDir dir;
    test::CueImage image = test::writeCueImage(dir.path(), "disc", {(kPlaySeconds + 5) * 75});
    std::vector<DriveEntry> drives;

    Disc() {
        setenv("LUMBRA_IPC_NAMESPACE", ("bench" + std::to_string(getpid())).c_str(), 1);
        setenv("LUMBRA_ASPI_LIBRARY", LUMBRA_VIRTUAL_DRIVE_LIBRARY, 1);
        setenv("LUMBRA_VIRTUAL_DISCS", image.cuePath.c_str(), 1);
        initCdAccess();
        buildDriveList(drives);
    }
    ~Disc() { shutdownCdAccess(); }
};

Disc& disc() {
    static Disc made;
    return made;
}

void playerPlaysATrack(benchmark::State& state) {
    Disc& disc = ::disc();
    if (disc.drives.empty()) return state.SkipWithError("no virtual drive");
    for (auto _ : state) {
        auto output = std::make_unique<PacedOutput>();
        PacedOutput& paced = *output;
        auto device = CdAudioDevice::open(disc.drives[0].openRequest, std::move(output));
        if (!device) return state.SkipWithError("the device did not open");
        const double cpuBefore = cpuSeconds(RUSAGE_SELF);
        const auto begin = Clock::now();
        device->play({1, {}}, {1, {kPlaySeconds, 0, 0}});
        const size_t taken = paced.run(kPlaySeconds);
        device->stop();
        const double wall = std::chrono::duration<double>(Clock::now() - begin).count();
        const double cpu = cpuSeconds(RUSAGE_SELF) - cpuBefore;
        state.SetIterationTime(wall);
        state.counters["cpu_pct_of_core"] = 100 * cpu / wall;
        state.counters["audio_s"] = double(taken) / (kCdSampleRate * kCdSampleBytes);
    }
}
BENCHMARK(playerPlaysATrack)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

void ffmpegReadsInRealTime(benchmark::State& state) {
    Disc& disc = ::disc();
    const std::string bin = disc.dir.file("disc.bin");
    for (auto _ : state) {
        const double cpuBefore = cpuSeconds(RUSAGE_CHILDREN);
        const auto begin = Clock::now();
        const bool ran = bench::runProgram({"ffmpeg", "-loglevel", "error", "-re", "-f", "s16le",
                                            "-ar", "44100", "-ac", "2", "-i", bin, "-t",
                                            std::to_string(kPlaySeconds), "-f", "null", "-"});
        if (!ran) return state.SkipWithError("ffmpeg did not run");
        const double wall = std::chrono::duration<double>(Clock::now() - begin).count();
        state.SetIterationTime(wall);
        state.counters["cpu_pct_of_core"] = 100 * (cpuSeconds(RUSAGE_CHILDREN) - cpuBefore) / wall;
    }
}
BENCHMARK(ffmpegReadsInRealTime)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
