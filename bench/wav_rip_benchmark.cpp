// Ripping a 74-minute disc image to WAV files against copying the image's BIN file with `cp`,
// the floor for turning the disc into files. Every rip goes through the real job, transport and
// virtual drive, in each jitter-correction mode, with and without drive jitter.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/disc_refresh.h"
#include "cdaccess/cd_access.h"
#include "cdaccess/cd_frame.h"
#include "platform/prompts.h"
#include "platform/shared_memory.h"
#include "rip/rip_job.h"
#include "rip_benchmark_support.h"
#include "settings/encoder_settings.h"
#include "settings/job_flags.h"
#include "unattended_front_end.h"

namespace {

namespace fs = std::filesystem;
using namespace lumbra;
using bench::NoEvents;
using bench::SilentPrompts;

const bench::ImageFiles& image() {
    return bench::seventyFourMinuteImage();
}

void ripWholeDisc(int jitterMode, const char* faults, const fs::path& out) {
    setenv("LUMBRA_ASPI_LIBRARY", LUMBRA_VIRTUAL_DRIVE_LIBRARY, 1);
    setenv("LUMBRA_VIRTUAL_DISCS", image().cue.c_str(), 1);
    setenv("LUMBRA_VIRTUAL_FAULTS", faults, 1);
    SilentPrompts prompts;
    NoEvents events;
    JobFlags flags;
    SettingsRecord settings;
    settings.outputFolder = out.string();
    settings.namingTemplate = "<Title>";
    settings.overwrite = true;
    settings.jitterMode = jitterMode;
    settings.encoder.wav = {1, 1, 1};
    settings.defaultFormat = kFormatWav;
    std::vector<DriveEntry> drives;
    buildDriveList(drives);
    std::vector<TrackEntry> tracks;
    refreshDisc(prompts, drives, 0, tracks, settings, true);
    for (auto& t : tracks) t.checked = 1;
    flags.ripRunning = 1;
    const DiscRecord disc;
    runRipJob({prompts, events, flags, settings, disc, drives[0].openRequest}, tracks);
    shutdownCdAccess();
}

// Dirty pages of the previous run, written back while the next one runs, take a share of the
// machine that varies from run to run: every run starts with none.
void startFromCleanPageCache(benchmark::State& state) {
    state.PauseTiming();
    sync();
    state.ResumeTiming();
}

void BM_CopyImageWithCp(benchmark::State& state) {
    const fs::path copy = image().folder / "copy.bin";
    for (auto _ : state) {
        startFromCleanPageCache(state);
        if (!bench::runProgram({"cp", image().bin.string(), copy.string()}))
            state.SkipWithError("cp failed");
        state.PauseTiming();
        fs::remove(copy);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(fs::file_size(image().bin)));
}

void BM_RipToWav(benchmark::State& state) {
    const int mode = int(state.range(0));
    const char* faults = state.range(1) ? "jitter=588,seed=1" : "";
    const fs::path out = image().folder / "out";
    setenv("LUMBRA_IPC_NAMESPACE", ("bench" + std::to_string(getpid())).c_str(), 1);
    for (auto _ : state) {
        startFromCleanPageCache(state);
        ripWholeDisc(mode, faults, out);
        state.PauseTiming();
        fs::remove_all(out);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(fs::file_size(image().bin)));
    platform::SharedMemory::remove("zentor32memmap2");
}

// Five runs each, compared by their medians: a run now and then is slowed by the rest of the
// machine, for cp as much as for the rip.
void fiveRuns(benchmark::internal::Benchmark* runs) {
    runs->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5);
    runs->ReportAggregatesOnly(true);
}

BENCHMARK(BM_CopyImageWithCp)->Apply(fiveRuns);
BENCHMARK(BM_RipToWav)
    ->ArgNames({"mode", "jitter"})
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->Apply(fiveRuns);

}  // namespace

BENCHMARK_MAIN();
