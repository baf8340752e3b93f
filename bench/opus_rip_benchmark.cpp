// Ripping about 20 minutes of music-like audio to Opus at 160 kbit/s (VBR), through the real
// job, transport and virtual drive, against opusenc --bitrate 160 encoding the same
// audio straight from the image's BIN file. Both encode with the same libopus, so the difference
// is what reading the disc and our encoder loop cost. Wall time is the benchmark's time; cpu_s
// counts every thread of the process (the virtual drive's too) or of opusenc; peak_rss_MiB is this
// process's peak resident memory so far.
#include <algorithm>

#include "rip_benchmark_support.h"

namespace lumbra {
namespace {

constexpr OpusSettings kDefaultOpus{5};  // 160 kbit/s
const bench::RipBenchmarkSetup kFiveFourMinuteTracks{.trackCount = 5,
                                                     .trackFrames = 18000,
                                                     .format = kFormatOpus,
                                                     .trackSettings = toSlots(kDefaultOpus)};

bench::RipBenchmarkDisc& disc() {
    static bench::RipBenchmarkDisc instance(kFiveFourMinuteTracks);
    return instance;
}

bool runOpusenc(const std::string& input, const std::string& output) {
    return bench::runProgram({"opusenc", "--quiet", "--bitrate", "160", "--raw", "--raw-bits", "16",
                              "--raw-rate", "44100", "--raw-chan", "2", input, output});
}

void opusRipThroughTheJob(benchmark::State& state) {
    bench::timeEachRun(state, disc(), bench::CpuOf::ThisProcess, [] { return disc().ripAll(); });
    state.counters["peak_rss_MiB"] = bench::peakResidentMiB();
}

void opusencOnTheImage(benchmark::State& state) {
    bench::timeEachRun(state, disc(), bench::CpuOf::Subprocesses,
                       [] { return runOpusenc(disc().binPath(), disc().scratch("opusenc.opus")); });
}

// On a shared machine the fastest of the runs is the one least disturbed by others.
double fastest(const std::vector<double>& runs) {
    return *std::min_element(runs.begin(), runs.end());
}

BENCHMARK(opusRipThroughTheJob)->Apply(bench::wholeDiscRuns)->ComputeStatistics("min", fastest);
BENCHMARK(opusencOnTheImage)->Apply(bench::wholeDiscRuns)->ComputeStatistics("min", fastest);

}  // namespace
}  // namespace lumbra

BENCHMARK_MAIN();
