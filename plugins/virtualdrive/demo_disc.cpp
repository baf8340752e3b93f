#include "plugins/virtualdrive/demo_disc.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string>

#include "plugins/virtualdrive/mmc_opcodes.h"

namespace lumbra::virtualdrive {
namespace {

constexpr uint32_t kDataTrackFrames = 20 * kFramesPerSecond;
constexpr std::array<int, 8> kPentatonic{0, 2, 4, 7, 9, 12, 14, 16};
constexpr std::array<int, 4> kChordRoots{0, 5, 7, 9};  // I, IV, V, vi

// Each track has its own tempo, key, timbre and stereo picture so that the tracks sound
// different and no two of them share material.
struct Voice {
    int seconds;
    double beatsPerMinute;
    int rootNote;  // MIDI note number
    std::array<double, 4> harmonics;
    double decayPerSecond;
    double noiseLevel;
    double melodyPan;  // -1 left .. 1 right
    uint32_t seed;
};

constexpr std::array<Voice, 4> kVoices{{
    {23, 96.0, 57, {1.0, 0.5, 0.25, 0.12}, 3.0, 0.020, -0.3, 11},
    {31, 132.0, 62, {1.0, 0.0, 0.33, 0.0}, 6.0, 0.015, 0.4, 23},
    {14, 72.0, 52, {1.0, 0.8, 0.6, 0.4}, 1.5, 0.030, 0.0, 37},
    {37, 112.0, 60, {1.0, 0.2, 0.1, 0.05}, 4.0, 0.010, -0.5, 51},
}};

uint64_t mix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// Uniform in [-1, 1], a pure function of its arguments so that any sample can be computed alone.
double noise(uint64_t a, uint64_t b) {
    return double(mix(a * 0x100000001B3ull ^ mix(b)) >> 11) / double(1ull << 52) - 1.0;
}

double frequencyOf(int midiNote) {
    return 440.0 * std::exp2((midiNote - 69) / 12.0);
}

double tone(const Voice& voice, double frequency, double age) {
    double sum = 0.0, weight = 0.0;
    for (size_t h = 0; h < voice.harmonics.size(); ++h) {
        sum +=
            voice.harmonics[h] * std::sin(2.0 * std::numbers::pi * frequency * double(h + 1) * age);
        weight += voice.harmonics[h];
    }
    return sum / weight;
}

double envelope(double age, double decayPerSecond) {
    return std::min(1.0, age / 0.01) * std::exp(-decayPerSecond * age);
}

// The melody note of a beat, or none: some beats rest so that the phrases breathe.
bool melodyNote(const Voice& voice, int64_t beat, int& note) {
    const uint64_t h = mix(voice.seed * 7919ull + uint64_t(beat));
    if (h % 6 == 0) return false;
    note = voice.rootNote + 12 + kPentatonic[(h >> 8) % kPentatonic.size()];
    return true;
}

double melodyAt(const Voice& voice, double t, double beatLength) {
    const auto beat = int64_t(t / beatLength);
    double value = 0.0;
    for (int64_t b = std::max<int64_t>(0, beat - 1); b <= beat; ++b) {
        int note;
        if (melodyNote(voice, b, note)) {
            const double age = t - double(b) * beatLength;
            value += envelope(age, voice.decayPerSecond) * tone(voice, frequencyOf(note), age);
        }
    }
    return value;
}

double chordAt(const Voice& voice, double t, double beatLength) {
    const auto bar = int64_t(t / (4.0 * beatLength));
    const int root = voice.rootNote - 12 + kChordRoots[mix(voice.seed + uint64_t(bar)) % 4];
    const double age = t - double(bar) * 4.0 * beatLength;
    const double env = envelope(age, 0.7);
    double value = 0.0;
    for (int interval : {0, 4, 7}) {
        const double f = frequencyOf(root + interval);
        value += std::sin(2.0 * std::numbers::pi * f * age) +
                 0.3 * std::sin(4.0 * std::numbers::pi * f * age);
    }
    return env * value / 3.9;
}

double hiHatAt(const Voice& voice, double t, double beatLength, int64_t sample) {
    const double halfBeat = beatLength / 2.0;
    const double age = t - std::floor(t / halfBeat) * halfBeat;
    return std::exp(-45.0 * age) * noise(voice.seed ^ 0xABCDull, uint64_t(sample));
}

// Short fades keep the track boundaries free of clicks.
double fadeAt(const Voice& voice, double t) {
    const double fromEnd = double(voice.seconds) - t;
    return std::clamp(std::min(t / 0.05, fromEnd / 0.5), 0.0, 1.0);
}

int16_t toSample(double value) {
    return int16_t(std::lround(std::clamp(value, -1.0, 1.0) * 32767.0));
}

std::array<int16_t, 2> stereoSample(const Voice& voice, int64_t sample) {
    const double t = double(sample) / kCdSampleRate;
    const double beatLength = 60.0 / voice.beatsPerMinute;
    const double melody = 0.45 * melodyAt(voice, t, beatLength);
    const double chord = 0.25 * chordAt(voice, t, beatLength);
    const double hiHat = 0.08 * hiHatAt(voice, t, beatLength, sample);
    const double fade = fadeAt(voice, t);
    const double left = melody * (1.0 - voice.melodyPan) / 2.0 + chord + hiHat * 0.6 +
                        voice.noiseLevel * noise(voice.seed, uint64_t(sample) * 2);
    const double right = melody * (1.0 + voice.melodyPan) / 2.0 + chord + hiHat * 0.4 +
                         voice.noiseLevel * noise(voice.seed, uint64_t(sample) * 2 + 1);
    return {toSample(fade * left), toSample(fade * right)};
}

class DemoAudio final : public AudioSource {
public:
    explicit DemoAudio(std::vector<DiscTrack> audioTracks) : tracks_(std::move(audioTracks)) {}

    bool read(int64_t offset, std::span<uint8_t> out) const override {
        std::fill(out.begin(), out.end(), uint8_t(0));
        const int64_t end = offset + int64_t(out.size());
        for (int64_t sample = floorDiv(offset, 4); sample * 4 < end; ++sample) {
            const auto bytes = sampleBytes(sample);
            for (int i = 0; i < 4; ++i) {
                const int64_t at = sample * 4 + i - offset;
                if (at >= 0 && at < int64_t(out.size())) out[size_t(at)] = bytes[i];
            }
        }
        return true;
    }

private:
    static int64_t floorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

    std::array<uint8_t, 4> sampleBytes(int64_t sample) const {
        std::array<uint8_t, 4> bytes{};
        for (size_t i = 0; i < tracks_.size(); ++i) {
            const int64_t first = int64_t(tracks_[i].start) * kSamplesPerFrame;
            const int64_t length =
                int64_t(kVoices[i].seconds) * kFramesPerSecond * kSamplesPerFrame;
            if (sample < first || sample >= first + length) continue;
            const auto [left, right] = stereoSample(kVoices[i], sample - first);
            bytes = {uint8_t(left), uint8_t(uint16_t(left) >> 8), uint8_t(right),
                     uint8_t(uint16_t(right) >> 8)};
        }
        return bytes;
    }

    std::vector<DiscTrack> tracks_;
};

// Like a pressed disc, the demo names itself in CD-Text and carries its codes, so that a rip
// without a database match still gets named files and tags.
DiscTexts demoTexts() {
    constexpr const char* kPerformer = "The Lumbra Quartet";
    constexpr std::array<const char*, kVoices.size()> kTitles{"Morning Tide", "Quick Step",
                                                              "Slow Drift", "Last Light"};
    DiscTexts texts;
    texts.album = {"Demo Disc", kPerformer, ""};
    for (size_t i = 0; i < kTitles.size(); ++i) {
        texts.tracks.push_back({kTitles[i], kPerformer, ""});
        texts.isrcs.push_back("ZZLUM260000" + std::to_string(i + 1));
    }
    texts.catalogue = "0000000000017";
    return texts;
}

}  // namespace

std::unique_ptr<Disc> makeDemoDisc() {
    auto disc = std::make_unique<Disc>();
    uint32_t next = 0;
    for (const Voice& voice : kVoices) {
        disc->tracks.push_back({next, false});
        next += uint32_t(voice.seconds) * kFramesPerSecond;
    }
    disc->audio = std::make_unique<DemoAudio>(disc->tracks);
    disc->tracks.push_back({next, true});
    disc->leadOut = next + kDataTrackFrames;
    disc->texts = demoTexts();
    return disc;
}

}  // namespace lumbra::virtualdrive
