// Ripping about 20 minutes of music-like audio to FLAC at level 5 with verify, through the real
// job, transport and virtual drive, against the flac command (-5 --verify) encoding the same
// audio straight from the image's BIN file. Both encode with the same libFLAC, so the difference
// is what reading the disc and our encoder loop cost. Wall time is the benchmark's time; cpu_s
// counts every thread of the process (the virtual drive's too) or of flac; peak_rss_MiB is this
// process's peak resident memory so far.
#include <algorithm>

#include "rip_benchmark_support.h"

namespace lumbra {
namespace {

constexpr FlacSettings kDefaultFlac{5, 1};
const bench::RipBenchmarkSetup kFiveFourMinuteTracks{.trackCount = 5,
                                                     .trackFrames = 18000,
                                                     .format = kFormatFlac,
                                                     .trackSettings = toSlots(kDefaultFlac)};

bench::RipBenchmarkDisc& disc() {
    static bench::RipBenchmarkDisc instance(kFiveFourMinuteTracks);
    return instance;
}

bool runFlac(const std::string& input, const std::string& output) {
    return bench::runProgram({"flac", "-s", "-f", "-5", "--verify", "--force-raw-format",
                              "--endian=little", "--sign=signed", "--channels=2", "--bps=16",
                              "--sample-rate=44100", "-o", output, input});
}

void flacRipThroughTheJob(benchmark::State& state) {
    bench::timeEachRun(state, disc(), bench::CpuOf::ThisProcess, [] { return disc().ripAll(); });
    state.counters["peak_rss_MiB"] = bench::peakResidentMiB();
}

void flacCommandOnTheImage(benchmark::State& state) {
    bench::timeEachRun(state, disc(), bench::CpuOf::Subprocesses,
                       [] { return runFlac(disc().binPath(), disc().scratch("flac.flac")); });
}

// On a shared machine the fastest of the runs is the one least disturbed by others.
double fastest(const std::vector<double>& runs) {
    return *std::min_element(runs.begin(), runs.end());
}

BENCHMARK(flacRipThroughTheJob)->Apply(bench::wholeDiscRuns)->ComputeStatistics("min", fastest);
BENCHMARK(flacCommandOnTheImage)->Apply(bench::wholeDiscRuns)->ComputeStatistics("min", fastest);

}  // namespace
}  // namespace lumbra

BENCHMARK_MAIN();
