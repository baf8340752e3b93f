// An audio output that plays nothing: the test pulls samples when it likes and keeps them.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "cdaccess/track_buffer.h"
#include "player/audio_output.h"

namespace lumbra::test {

struct RecordedAudio {
    std::vector<uint8_t> bytes;
    SampleSource* source = nullptr;
    bool pulling = false;
    int starts = 0;
    int outputs = 0;  // outputs made

    void clear() { bytes.clear(); }

    // Pulls until `frames` more frames came or `limit` passed; the frames that came.
    int pullFrames(int frames, std::chrono::milliseconds limit = std::chrono::seconds(30)) {
        const size_t want = bytes.size() + size_t(frames) * kFrameBytes;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        const size_t before = bytes.size();
        while (pulling && bytes.size() < want && std::chrono::steady_clock::now() < deadline) {
            std::vector<uint8_t> chunk(want - bytes.size());
            const size_t got = source->readSamples(chunk);
            bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + ptrdiff_t(got));
            if (got == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return int((bytes.size() - before) / kFrameBytes);
    }
};

class RecordingAudioOutput : public AudioOutput {
public:
    explicit RecordingAudioOutput(RecordedAudio& audio) : audio_(audio) { ++audio_.outputs; }
    bool start(SampleSource& source) override {
        audio_.source = &source;
        audio_.pulling = true;
        ++audio_.starts;
        return true;
    }
    void suspend() override { audio_.pulling = false; }
    void stop() override { audio_.pulling = false; }

private:
    RecordedAudio& audio_;
};

inline AudioOutputFactory recordingOutputs(RecordedAudio& audio) {
    return [&audio] { return std::make_unique<RecordingAudioOutput>(audio); };
}

}  // namespace lumbra::test
