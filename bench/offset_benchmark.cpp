// What the read offset costs, in one run: three 4.9-minute tracks of the 74-minute image ripped to
// WAV from a drive reading 667 samples early, with and without correcting it; the same with test
// and copy on and off; and finding the offset from the first track (and the first two) against
// reading that track once, with the database's answer in hand, and the sliding checksum alone.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "app/disc_refresh.h"
#include "cdaccess/cd_access.h"
#include "platform/shared_memory.h"
#include "rip/offset_detection.h"
#include "rip/rip_job.h"
#include "rip/sliding_v1.h"
#include "rip/track_checksums.h"
#include "rip/track_read_loop.h"
#include "rip/track_status.h"
#include "rip_benchmark_support.h"
#include "support/accuraterip_test_server.h"
#include "unattended_front_end.h"

namespace {

namespace fs = std::filesystem;
using namespace lumbra;

using namespace std::chrono_literals;

constexpr int kTracksRipped = 3;
constexpr int32_t kDriveOffset = 667;

// The image in a drive with the offset, its tracks listed; brought up for each run and shut down
// after, as a rip of the program would.
struct OffsetDrive {
    bench::SilentPrompts prompts;
    bench::NoEvents events;
    JobFlags flags;
    SettingsRecord settings;
    const DiscRecord disc;
    std::vector<DriveEntry> drives;
    std::vector<TrackEntry> tracks;
    RipVerification verification;

    explicit OffsetDrive(const fs::path& out) {
        const bench::ImageFiles& image = bench::seventyFourMinuteImage();
        setenv("LUMBRA_ASPI_LIBRARY", LUMBRA_VIRTUAL_DRIVE_LIBRARY, 1);
        setenv("LUMBRA_VIRTUAL_DISCS", image.cue.c_str(), 1);
        setenv("LUMBRA_VIRTUAL_FAULTS", ("offset=" + std::to_string(kDriveOffset)).c_str(), 1);
        settings.outputFolder = out.string();
        settings.namingTemplate = "<Title>";
        settings.overwrite = true;
        settings.encoder.wav = {1, 1, 1};
        settings.defaultFormat = kFormatWav;
        buildDriveList(drives);
        refreshDisc(prompts, drives, 0, tracks, settings, true);
        verification = verificationOfDisc(drives[0].toc);
        flags.ripRunning = 1;
    }
    ~OffsetDrive() { shutdownCdAccess(); }

    RipSession session(int32_t correction) {
        return {prompts,
                events,
                flags,
                settings,
                disc,
                drives[0].openRequest,
                outputFormats(),
                &verification,
                0,
                {correction, audioExtents(drives[0].toc)}};
    }
};

fs::path outFolder() {
    return bench::seventyFourMinuteImage().folder / "offset-out";
}

void ripTracks(benchmark::State& state, int32_t correction, bool testAndCopy) {
    setenv("LUMBRA_IPC_NAMESPACE", ("bench" + std::to_string(getpid())).c_str(), 1);
    for (auto _ : state) {
        state.PauseTiming();
        sync();
        state.ResumeTiming();
        {
            OffsetDrive drive(outFolder());
            drive.settings.testAndCopy = testAndCopy;
            for (int t = 0; t < kTracksRipped; ++t) drive.tracks[size_t(t)].checked = 1;
            runRipJob(drive.session(correction), drive.tracks);
        }
        state.PauseTiming();
        fs::remove_all(outFolder());
        state.ResumeTiming();
    }
    platform::SharedMemory::remove("zentor32memmap2");
}

void BM_RipCorrected(benchmark::State& state) {
    ripTracks(state, state.range(0) ? kDriveOffset : 0, false);
}

void BM_RipTestAndCopy(benchmark::State& state) {
    ripTracks(state, kDriveOffset, state.range(0) != 0);
}

// The database's pressing of the image: the v1 checksums of its first two tracks (the rest are
// never read).
std::string pressingOfImage(const RipVerification& verification,
                            const std::vector<TrackEntry>& tracks) {
    AccurateRipPressing pressing{verification.disc, {}};
    std::ifstream bin(bench::seventyFourMinuteImage().bin, std::ios::binary);
    for (int t = 0; t < 2; ++t) {
        std::vector<uint8_t> audio(size_t(tracks[size_t(t)].length) * kFrameBytes);
        bin.read(reinterpret_cast<char*>(audio.data()), std::streamsize(audio.size()));
        TrackChecksums sums(uint32_t(audio.size() / 4), t == 0, false);
        sums.add(audio);
        pressing.tracks.push_back({12, sums.values().v1, 0});
    }
    pressing.tracks.resize(size_t(verification.disc.audioTracks), {12, 0, 0});  // not read
    return test::accurateRipBody({pressing});
}

void BM_DetectOffset(benchmark::State& state) {
    setenv("LUMBRA_IPC_NAMESPACE", ("bench" + std::to_string(getpid())).c_str(), 1);
    test::AccurateRipTestServer server;
    for (auto _ : state) {
        OffsetDrive drive(outFolder());
        drive.verification.config.serverHost = "127.0.0.1";
        drive.verification.config.serverPort = server.port();
        drive.verification.config.timeouts = {1s, 1s, 1s, 2s};
        state.PauseTiming();
        server.setReply(test::httpReply(200, pressingOfImage(drive.verification, drive.tracks)));
        // The database's answer takes the network's time, whatever the search costs.
        drive.verification.lookup =
            fetchAccurateRip(drive.verification.config, drive.verification.disc);
        state.ResumeTiming();
        const OffsetDetection found = detectReadOffset(drive.session(0), drive.tracks,
                                                       drive.verification, int(state.range(0)));
        if (found.outcome != OffsetSearch::Found ||
            found.candidates.front().offset != kDriveOffset) {
            state.SkipWithError("the offset was not found");
        }
    }
    platform::SharedMemory::remove("zentor32memmap2");
}

void BM_ReadFirstTrackOnce(benchmark::State& state) {
    setenv("LUMBRA_IPC_NAMESPACE", ("bench" + std::to_string(getpid())).c_str(), 1);
    for (auto _ : state) {
        OffsetDrive drive(outFolder());
        const RipSession session = drive.session(kDriveOffset);
        const RipHandle handle(session.drive);
        RipContext context;
        context.track = &drive.tracks[0];
        const auto read = readTrackChunks(
            session, context, handle.get(), [](int32_t) {},
            [](std::span<const uint8_t> bytes) { return benchmark::DoNotOptimize(bytes), true; });
        if (read != ReadOutcome::Complete) state.SkipWithError("the track could not be read");
    }
    platform::SharedMemory::remove("zentor32memmap2");
}

// The sliding checksum alone over a 4.9-minute track's samples and margins, fed as the drive's
// reads come.
void BM_SlideAlone(benchmark::State& state) {
    constexpr uint32_t kSamples = 13'000'000;
    std::vector<uint8_t> bytes((size_t(kSamples) + 2 * kOffsetMargin) * 4);
    uint32_t x = 1;
    for (uint8_t& byte : bytes) byte = uint8_t((x = x * 1664525u + 1013904223u) >> 24);
    const std::span<const uint8_t> all(bytes);
    for (auto _ : state) {
        SlidingV1 slide(kSamples, false, false, kOffsetMargin);
        for (size_t at = 0; at < all.size(); at += size_t(26) * kFrameBytes) {
            slide.add(all.subspan(at, std::min(all.size() - at, size_t(26) * kFrameBytes)));
        }
        benchmark::DoNotOptimize(slide.sums());
    }
}

void threeRuns(benchmark::internal::Benchmark* runs) {
    runs->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->UseRealTime();
    runs->ReportAggregatesOnly(true);
}

BENCHMARK(BM_RipCorrected)->ArgName("corrected")->Arg(0)->Arg(1)->Apply(threeRuns);
BENCHMARK(BM_RipTestAndCopy)->ArgName("testAndCopy")->Arg(0)->Arg(1)->Apply(threeRuns);
BENCHMARK(BM_ReadFirstTrackOnce)->Apply(threeRuns);
BENCHMARK(BM_DetectOffset)->ArgName("tracks")->Arg(1)->Arg(2)->Apply(threeRuns);
BENCHMARK(BM_SlideAlone)->Apply(threeRuns);

}  // namespace

BENCHMARK_MAIN();
