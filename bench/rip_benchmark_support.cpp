#include "rip_benchmark_support.h"

#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>

#include "app/disc_refresh.h"
#include "cdaccess/cd_access.h"
#include "cdaccess/cd_frame.h"
#include "naming/output_naming.h"
#include "platform/shared_memory.h"
#include "rip/output_formats.h"
#include "rip/rip_job.h"
#include "rip/track_status.h"
#include "support/cue_image.h"

extern char** environ;

namespace lumbra::bench {
namespace {

double cpuSeconds(CpuOf cpuOf) {
    rusage usage{};
    getrusage(cpuOf == CpuOf::ThisProcess ? RUSAGE_SELF : RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

bool writeImageApart(const std::string& folder, const RipBenchmarkSetup& setup) {
    const pid_t pid = fork();
    if (pid == 0) {
        const std::vector<int> trackFrames(size_t(setup.trackCount), setup.trackFrames);
        test::writeCueImage(folder, "album", trackFrames);
        _exit(0);
    }
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

}  // namespace

const ImageFiles& seventyFourMinuteImage() {
    namespace fs = std::filesystem;
    constexpr int kDiscMinutes = 74;
    constexpr int kTracks = 15;
    static const ImageFiles made = [] {
        ImageFiles i;
        i.folder = fs::temp_directory_path() / "lumbra-bench-74min";
        i.cue = i.folder / "disc.cue";
        i.bin = i.folder / "disc.bin";
        const int frames = kDiscMinutes * 60 * 75;
        fs::create_directories(i.folder);
        if (!fs::exists(i.bin) || fs::file_size(i.bin) != uint64_t(frames) * 2352) {
            std::ofstream bin(i.bin, std::ios::binary);
            std::mt19937 random(74);
            std::vector<uint32_t> frame(588);
            for (int f = 0; f < frames; ++f) {
                for (auto& word : frame) word = random();
                bin.write(reinterpret_cast<const char*>(frame.data()), 2352);
            }
        }
        std::ofstream cue(i.cue);
        cue << "FILE \"disc.bin\" BINARY\n";
        for (int t = 0; t < kTracks; ++t) {
            const int start = t * frames / kTracks;
            char line[96];
            std::snprintf(line, sizeof line, "  TRACK %02d AUDIO\n    INDEX 01 %02d:%02d:%02d\n",
                          t + 1, start / 4500, start / 75 % 60, start % 75);
            cue << line;
        }
        return i;
    }();
    return made;
}

RipBenchmarkDisc::RipBenchmarkDisc(const RipBenchmarkSetup& setup) : setup_(setup) {
    setenv("LUMBRA_IPC_NAMESPACE", ("bench" + std::to_string(getpid())).c_str(), 1);
    setenv("LUMBRA_ASPI_LIBRARY", LUMBRA_VIRTUAL_DRIVE_LIBRARY, 1);
    if (setup.pluginFolder) setenv("LUMBRA_PLUGIN_DIR", setup.pluginFolder, 1);
    setenv("LUMBRA_VIRTUAL_DISCS", dir_.file("album.cue").c_str(), 1);
    ok_ = writeImageApart(dir_.path(), setup) && initCdAccess() && buildDriveList(drives_) > 0 &&
          refreshDisc(prompts_, drives_, 0, tracks_, settings_, true) == 0;
    settings_.outputFolder = dir_.file("out");
    settings_.namingTemplate = "<Title>";
    settings_.overwrite = true;
    // Tags on, as the program starts: an MP3 without them gets no ReplayGain either.
    settings_.id3Enable = true;
}

RipBenchmarkDisc::~RipBenchmarkDisc() {
    shutdownCdAccess();
    platform::SharedMemory::remove(kSharedStateName);
}

double RipBenchmarkDisc::audioSeconds() const {
    return double(setup_.trackFrames) * setup_.trackCount / double(kFramesPerSecond);
}

bool RipBenchmarkDisc::ripAll() {
    for (auto& track : tracks_) {
        track.checked = 1;
        track.format = setup_.format;
        track.encoderSettings = setup_.trackSettings;
    }
    flags_.ripRunning = 1;
    const RipSession session{prompts_, events_, flags_, settings_, disc_, drives_[0].openRequest};
    runRipJob(session, tracks_);
    bool done = true;
    for (const auto& track : tracks_) done = done && track.status == kTrackDone;
    return done;
}

double RipBenchmarkDisc::outputBytes() const {
    const std::string extension = findOutputFormat(outputFormats(), setup_.format)->extension;
    double bytes = 0;
    for (const auto& track : tracks_)
        bytes += fileBytes(settings_.outputFolder + "/" + track.title + extension);
    return bytes;
}

void timeEachRun(benchmark::State& state, const RipBenchmarkDisc& disc, CpuOf cpuOf,
                 const std::function<bool()>& run) {
    if (!disc.ok()) return state.SkipWithError("the virtual drive did not come up");
    double cpu = 0;
    for (auto _ : state) {
        const double cpuBefore = cpuSeconds(cpuOf);
        const auto start = std::chrono::steady_clock::now();
        if (!run()) return state.SkipWithError("the encode failed");
        const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(wall.count());
        cpu += cpuSeconds(cpuOf) - cpuBefore;
    }
    state.counters["cpu_s"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
    state.counters["audio_s"] = disc.audioSeconds();
}

void wholeDiscRuns(benchmark::internal::Benchmark* runs) {
    runs->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1)->Repetitions(3);
}

bool runProgram(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double fileBytes(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? double(info.st_size) : 0;
}

double peakResidentMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024;  // kilobytes on Linux
}

}  // namespace lumbra::bench
