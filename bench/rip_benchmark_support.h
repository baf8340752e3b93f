// What the rip benchmarks share: a disc image of music-like audio in one virtual drive for the
// whole run, rips of all its tracks through the real job, peer encoders run as subprocesses, and
// the timing of each run by the wall clock with the processor time it took.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "cdaccess/drive_discovery.h"
#include "metadata/disc_record.h"
#include "metadata/track_entry.h"
#include "settings/encoder_settings.h"
#include "settings/job_flags.h"
#include "settings/settings_record.h"
#include "support/recording_events.h"
#include "support/recording_prompts.h"
#include "support/temp_dir.h"

namespace lumbra::bench {

struct RipBenchmarkSetup {
    int trackCount = 0;
    int trackFrames = 0;
    int32_t format = kFormatWav;   // what every track is ripped to
    EncoderSlots trackSettings{};  // and with which encoder settings
    const char* pluginFolder =
        nullptr;  // where the encoder plugin lies; beside the program if null
};

// A 74-minute image of noise in 15 tracks, kept in the temporary folder for every benchmark.
struct ImageFiles {
    std::filesystem::path folder;
    std::filesystem::path cue;
    std::filesystem::path bin;
};
// Written when missing; noise has no repeating frames, so jitter correction finds its one true
// match.
const ImageFiles& seventyFourMinuteImage();

// The disc image and one virtual drive holding it, for the whole run.
class RipBenchmarkDisc {
public:
    // Writes the image (in a child process, so that the generated audio never counts towards
    // this process's peak memory) and brings up the drive; ok() tells whether that worked.
    explicit RipBenchmarkDisc(const RipBenchmarkSetup& setup);
    RipBenchmarkDisc(const RipBenchmarkDisc&) = delete;
    RipBenchmarkDisc& operator=(const RipBenchmarkDisc&) = delete;
    ~RipBenchmarkDisc();

    bool ok() const { return ok_; }
    double audioSeconds() const;
    std::string binPath() const { return dir_.file("album.bin"); }
    std::string scratch(const std::string& name) const { return dir_.file(name); }

    // Rips every track; true when all of them are done.
    bool ripAll();
    // Whether the rips measure loudness and write ReplayGain tags (off at first).
    void setReplayGain(bool on) { settings_.replayGain = on; }
    // The bytes of the files the rips wrote.
    double outputBytes() const;

private:
    RipBenchmarkSetup setup_;
    test::TempDir dir_;
    test::RecordingPrompts prompts_;
    test::RecordingEvents events_;
    JobFlags flags_;
    SettingsRecord settings_;
    DiscRecord disc_;
    std::vector<DriveEntry> drives_;
    std::vector<TrackEntry> tracks_;
    bool ok_ = false;
};

// Whose processor time a run counts: this process's every thread (the virtual drive's too), or
// the subprocesses it waited for.
enum class CpuOf { ThisProcess, Subprocesses };

// Times each iteration of `run` by the wall clock (manual time) and sets the counters cpu_s
// (processor seconds of `cpuOf` per iteration) and audio_s. Skips with an error when the disc did
// not come up or `run` returns false.
void timeEachRun(benchmark::State& state, const RipBenchmarkDisc& disc, CpuOf cpuOf,
                 const std::function<bool()>& run);

// One run per repetition, three repetitions, reported in seconds of the time timeEachRun takes.
void wholeDiscRuns(benchmark::internal::Benchmark* runs);

// Runs the program args[0], found on the PATH, with the rest as its arguments; true when it
// started and exited with 0.
bool runProgram(std::vector<std::string> args);

// The size of the file, 0 when there is none.
double fileBytes(const std::string& path);

// This process's peak resident memory so far.
double peakResidentMiB();

}  // namespace lumbra::bench
