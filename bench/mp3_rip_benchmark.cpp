// Ripping 20 minutes of music-like audio to MP3 with the default settings (VBR quality 3 from
// 128 to 192 kbit/s, stereo, preset "fast standard", bit reservoir off), through the real job,
// transport, virtual drive and encoder library, against the lame command encoding the image's
// BIN file with the same settings. Both use the same libmp3lame, so the difference is what
// reading the disc, converting and our encoder loop cost. Wall time is the benchmark's time;
// cpu_s counts every thread of the process (the virtual drive's too) or of lame; peak_rss_MiB is
// the process's peak resident memory after whole-disc rips.
#include <sstream>

#include "rip_benchmark_support.h"

namespace lumbra {
namespace {

constexpr Mp3Settings kDefaultMp3{1, 1, 8, 1, 3, 10, 7};
const bench::RipBenchmarkSetup kTenTwoMinuteTracks{.trackCount = 10,
                                                   .trackFrames = 9000,
                                                   .format = kFormatMp3,
                                                   .trackSettings = toSlots(kDefaultMp3),
                                                   .pluginFolder = LUMBRA_PLUGIN_FOLDER};

bench::RipBenchmarkDisc& disc() {
    static bench::RipBenchmarkDisc instance(kTenTwoMinuteTracks);
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
    return bench::runProgram(args);
}

void mp3RipThroughTheJob(benchmark::State& state) {
    bench::timeEachRun(state, disc(), bench::CpuOf::ThisProcess, [] { return disc().ripAll(); });
    state.counters["mp3_MB"] = disc().outputBytes() / 1e6;
    state.counters["peak_rss_MiB"] = bench::peakResidentMiB();
}

// The same rip measuring every track's loudness and writing ReplayGain tags: what the meter and
// the tag updates add to a rip.
void mp3RipWithReplayGain(benchmark::State& state) {
    disc().setReplayGain(true);
    bench::timeEachRun(state, disc(), bench::CpuOf::ThisProcess, [] { return disc().ripAll(); });
    disc().setReplayGain(false);
}

void lameOnTheImage(benchmark::State& state) {
    const std::string output = disc().scratch("lame.mp3");
    bench::timeEachRun(state, disc(), bench::CpuOf::Subprocesses,
                       [&] { return runLame(disc().binPath(), output); });
    state.counters["mp3_MB"] = bench::fileBytes(output) / 1e6;
}

BENCHMARK(mp3RipThroughTheJob)->Apply(bench::wholeDiscRuns);
BENCHMARK(mp3RipWithReplayGain)->Apply(bench::wholeDiscRuns);
BENCHMARK(lameOnTheImage)->Apply(bench::wholeDiscRuns);

}  // namespace
}  // namespace lumbra

BENCHMARK_MAIN();
