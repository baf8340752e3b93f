// Ripping to WAV through the SG_IO back end over the preloaded kernel stand-in, with the device's
// transfer limit at the usual size and at the 32 KiB of some USB bridges and ATAPI drives, where
// every 26-frame read goes out as two commands. The unlimited run is the peer: splitting should
// cost little beside it.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/disc_refresh.h"
#include "cdaccess/cd_access.h"
#include "cdaccess/cd_frame.h"
#include "kernel/stand_in_restart.h"
#include "platform/prompts.h"
#include "platform/shared_memory.h"
#include "rip/rip_job.h"
#include "rip/track_status.h"
#include "settings/encoder_settings.h"
#include "settings/job_flags.h"
#include "support/cue_image.h"
#include "support/temp_dir.h"
#include "unattended_front_end.h"

namespace {

using namespace lumbra;
using bench::NoEvents;
using bench::SilentPrompts;

constexpr int kTracks = 12;
constexpr int kTrackFrames = 60 * kFramesPerSecond;  // a minute each

const test::TempDir& folder() {
    static const test::TempDir dir;
    return dir;
}

const std::string& cueSheet() {
    static const std::string path =
        test::writeCueImage(folder().path(), "album", std::vector<int>(kTracks, kTrackFrames))
            .cuePath;
    return path;
}

bool ripAll(const char* rules) {
    test::srConfigureFunction()(cueSheet().c_str(), "", rules);
    SilentPrompts prompts;
    NoEvents events;
    JobFlags flags;
    SettingsRecord settings;
    settings.outputFolder = folder().file("out");
    settings.namingTemplate = "<Title>";
    settings.overwrite = true;
    settings.encoder.wav = {1, 1, 1};
    settings.defaultFormat = kFormatWav;
    initCdAccess();
    std::vector<DriveEntry> drives;
    std::vector<TrackEntry> tracks;
    bool done =
        buildDriveList(drives) == 1 && refreshDisc(prompts, drives, 0, tracks, settings, true) == 0;
    for (auto& t : tracks) t.checked = 1;
    flags.ripRunning = 1;
    const DiscRecord disc;
    if (done) runRipJob({prompts, events, flags, settings, disc, drives[0].openRequest}, tracks);
    for (const auto& t : tracks) done = done && t.status == kTrackDone;
    shutdownCdAccess();
    std::filesystem::remove_all(settings.outputFolder);
    return done;
}

void BM_RipToWavOverSgIo(benchmark::State& state) {
    const char* rules = state.range(0) ? "maxkb=32" : "";
    setenv("LUMBRA_IPC_NAMESPACE", ("bench" + std::to_string(getpid())).c_str(), 1);
    unsetenv("LUMBRA_ASPI_LIBRARY");
    cueSheet();
    for (auto _ : state) {
        if (!ripAll(rules)) state.SkipWithError("the rip failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kTracks * kTrackFrames * 2352);
    state.counters["audio_s"] = double(kTracks * kTrackFrames) / kFramesPerSecond;
    platform::SharedMemory::remove("zentor32memmap2");
}

BENCHMARK(BM_RipToWavOverSgIo)
    ->ArgName("limit32k")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    test::restartWithStandIn(argv, LUMBRA_SR_STAND_IN);
    if (!test::srConfigureFunction()) return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
