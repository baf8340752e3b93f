// Ripping about 20 minutes of music-like audio to WMA at 96 kbit/s, through the real job,
// transport, virtual drive and writer library, against ffmpeg's wmav2 encoder on the same audio
// read straight from the image's BIN file. Both encode with the same libavcodec, so the
// difference is what reading the disc, the writer interface and our block loop cost. Wall time
// is the benchmark's time; cpu_s counts every thread of the process (the virtual drive's too)
// or of ffmpeg.
#include "rip_benchmark_support.h"

namespace lumbra {
namespace {

constexpr WmaSettings kNinetySixKbps{0, 6, 1};
const bench::RipBenchmarkSetup kFiveFourMinuteTracks{.trackCount = 5,
                                                     .trackFrames = 18000,
                                                     .format = kFormatWma,
                                                     .trackSettings = toSlots(kNinetySixKbps),
                                                     .pluginFolder = LUMBRA_PLUGIN_FOLDER};

bench::RipBenchmarkDisc& disc() {
    static bench::RipBenchmarkDisc instance(kFiveFourMinuteTracks);
    return instance;
}

bool runFfmpeg(const std::string& input, const std::string& output) {
    return bench::runProgram({"ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-f", "s16le",
                              "-ar", "44100", "-ac", "2", "-i", input, "-c:a", "wmav2", "-b:a",
                              "96k", output});
}

void wmaRipThroughTheJob(benchmark::State& state) {
    bench::timeEachRun(state, disc(), bench::CpuOf::ThisProcess, [] { return disc().ripAll(); });
}

void ffmpegWmav2OnTheImage(benchmark::State& state) {
    bench::timeEachRun(state, disc(), bench::CpuOf::Subprocesses,
                       [] { return runFfmpeg(disc().binPath(), disc().scratch("ffmpeg.wma")); });
}

BENCHMARK(wmaRipThroughTheJob)->Apply(bench::wholeDiscRuns);
BENCHMARK(ffmpegWmav2OnTheImage)->Apply(bench::wholeDiscRuns);

}  // namespace
}  // namespace lumbra

BENCHMARK_MAIN();
