// What the checksums taken while reading cost: the 74-minute image ripped to WAV with and
// without them, and the checksums alone over the same bytes in the rip's read sizes, in one run.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/disc_refresh.h"
#include "cdaccess/cd_access.h"
#include "cdaccess/cd_frame.h"
#include "platform/shared_memory.h"
#include "rip/rip_job.h"
#include "rip/track_checksums.h"
#include "rip_benchmark_support.h"
#include "settings/job_flags.h"
#include "unattended_front_end.h"

namespace {

namespace fs = std::filesystem;
using namespace lumbra;

constexpr int kReadFrames = 26;  // what one read of the rip delivers

const bench::ImageFiles& image() {
    return bench::seventyFourMinuteImage();
}

void ripWholeDisc(bool verified, const fs::path& out) {
    setenv("LUMBRA_ASPI_LIBRARY", LUMBRA_VIRTUAL_DRIVE_LIBRARY, 1);
    setenv("LUMBRA_VIRTUAL_DISCS", image().cue.c_str(), 1);
    setenv("LUMBRA_VIRTUAL_FAULTS", "", 1);
    bench::SilentPrompts prompts;
    bench::NoEvents events;
    JobFlags flags;
    SettingsRecord settings;
    settings.outputFolder = out.string();
    settings.namingTemplate = "<Title>";
    settings.overwrite = true;
    settings.encoder.wav = {1, 1, 1};
    std::vector<DriveEntry> drives;
    buildDriveList(drives);
    std::vector<TrackEntry> tracks;
    refreshDisc(prompts, drives, 0, tracks, settings, true);
    for (auto& t : tracks) t.checked = 1;
    // No lookup: the exchange is bounded by its time-outs, not by the samples.
    RipVerification verification = verificationOfDisc(drives[0].toc);
    flags.ripRunning = 1;
    const DiscRecord disc;
    runRipJob({prompts, events, flags, settings, disc, drives[0].openRequest, outputFormats(),
               verified ? &verification : nullptr},
              tracks);
    shutdownCdAccess();
}

void BM_RipToWav(benchmark::State& state) {
    const fs::path out = image().folder / "out";
    setenv("LUMBRA_IPC_NAMESPACE", ("bench" + std::to_string(getpid())).c_str(), 1);
    for (auto _ : state) {
        state.PauseTiming();
        sync();  // no dirty pages of the last run written back during this one
        state.ResumeTiming();
        ripWholeDisc(state.range(0) != 0, out);
        state.PauseTiming();
        fs::remove_all(out);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(fs::file_size(image().bin)));
    platform::SharedMemory::remove("zentor32memmap2");
}

// The image as 15 tracks, fed in reads of 26 frames; only the checksums are timed.
void BM_ChecksumsAlone(benchmark::State& state) {
    const uint64_t bytes = fs::file_size(image().bin);
    const auto frames = uint32_t(bytes / kFrameBytes);
    constexpr uint32_t kTracks = 15;
    std::vector<uint8_t> piece(size_t(kReadFrames) * kFrameBytes);
    for (auto _ : state) {
        std::ifstream bin(image().bin, std::ios::binary);
        std::chrono::duration<double> spent{0};
        for (uint32_t t = 0; t < kTracks; ++t) {
            const uint32_t length = (t + 1) * frames / kTracks - t * frames / kTracks;
            TrackChecksums sums(length * uint32_t(kSamplesPerFrame), t == 0, t + 1 == kTracks);
            for (uint32_t done = 0; done < length; done += kReadFrames) {
                const size_t count = size_t(std::min<uint32_t>(kReadFrames, length - done));
                bin.read(reinterpret_cast<char*>(piece.data()),
                         std::streamsize(count * kFrameBytes));
                const auto started = std::chrono::steady_clock::now();
                sums.add({piece.data(), count * kFrameBytes});
                spent += std::chrono::steady_clock::now() - started;
            }
            benchmark::DoNotOptimize(sums.values());
        }
        state.SetIterationTime(spent.count());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}

void fiveRuns(benchmark::internal::Benchmark* runs) {
    runs->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
    runs->ReportAggregatesOnly(true);
}

BENCHMARK(BM_RipToWav)->ArgName("checksums")->Arg(0)->Arg(1)->UseRealTime()->Apply(fiveRuns);
BENCHMARK(BM_ChecksumsAlone)->UseManualTime()->Apply(fiveRuns);

}  // namespace

BENCHMARK_MAIN();
