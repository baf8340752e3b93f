// Ripping about 20 minutes of music-like audio to Ogg Vorbis with the default settings, through
// the real job, transport and virtual drive, against oggenc -q 4.5 encoding the same audio
// straight from the image's BIN file. Both encode with the same libvorbis, so the difference is
// what reading the disc and our encoder loop cost. Wall time is the benchmark's time; cpu_s
// counts every thread of the process (the virtual drive's too) or of oggenc.
#include <algorithm>

#include "rip_benchmark_support.h"

namespace lumbra {
namespace {

constexpr OggSettings kDefaultOgg{0, 1, 0, 0, 1, 0, 0, 0, 3, 9};
const bench::RipBenchmarkSetup kFiveFourMinuteTracks{.trackCount = 5,
                                                     .trackFrames = 18000,
                                                     .format = kFormatOgg,
                                                     .trackSettings = toSlots(kDefaultOgg)};

bench::RipBenchmarkDisc& disc() {
    static bench::RipBenchmarkDisc instance(kFiveFourMinuteTracks);
    return instance;
}

bool runOggenc(const std::string& input, const std::string& output) {
    return bench::runProgram({"oggenc", "-Q", "-r", "-q", "4.5", "-o", output, input});
}

void oggRipThroughTheJob(benchmark::State& state) {
    bench::timeEachRun(state, disc(), bench::CpuOf::ThisProcess, [] { return disc().ripAll(); });
}

void oggencOnTheImage(benchmark::State& state) {
    bench::timeEachRun(state, disc(), bench::CpuOf::Subprocesses,
                       [] { return runOggenc(disc().binPath(), disc().scratch("oggenc.ogg")); });
}

// On a shared machine the fastest of the runs is the one least disturbed by others.
double fastest(const std::vector<double>& runs) {
    return *std::min_element(runs.begin(), runs.end());
}

BENCHMARK(oggRipThroughTheJob)->Apply(bench::wholeDiscRuns)->ComputeStatistics("min", fastest);
BENCHMARK(oggencOnTheImage)->Apply(bench::wholeDiscRuns)->ComputeStatistics("min", fastest);

}  // namespace
}  // namespace lumbra

BENCHMARK_MAIN();
