// A track that the job's reader reads while an encoder thread encodes it: the reader's half, and
// the source the encoder's half takes the audio from.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "rip/audio_source.h"
#include "rip/rip_context.h"
#include "rip/track_audio.h"
#include "rip/track_read_loop.h"

namespace lumbra {

// The status of such a track: reading fills 0 to 40 percent and encoding 40 to 100, each adding
// its own share, so a row whose audio waits for an encoder still shows what has been read. Safe
// to report from both threads; the status only grows and never passes over a track's end.
class SharedProgress {
public:
    // `from`: the status where this pass starts (passStatus).
    SharedProgress(const RipSession& session, TrackEntry& track, int32_t from = 0);

    void read(int32_t framesRead);
    void encoded(uint64_t bytes);

private:
    void post();

    const RipSession& session_;
    TrackEntry& track_;
    const int32_t from_;
    std::atomic<int32_t> readShare_{0};
    std::atomic<int32_t> encodedShare_{0};
    std::mutex posting_;  // posts of one track arrive in the order of their values
};

// Reads the track into `audio` and closes it, whole or not; a failure to get the drive fails the
// track with its box, as a read error does. `encoderTakes`: an encoder takes the audio while it is
// read. The reading's outcome.
ReadOutcome readTrackToAudio(const RipSession& session, RipContext& context, TrackAudio& audio,
                             bool encoderTakes, SharedProgress& progress);

// The audio the reader hands over, as the encoder thread takes it, reporting what it has encoded.
class HandedAudio : public AudioSource {
public:
    HandedAudio(TrackAudio& audio, SharedProgress& progress) : audio_(audio), progress_(progress) {}

    Next next(std::vector<uint8_t>& piece) override;
    // The reader stops at once, and the memory is free.
    void release() override { audio_.giveUp(); }

private:
    TrackAudio& audio_;
    SharedProgress& progress_;
    uint64_t delivered_ = 0;
    ProgressTurns turns_;
};

}  // namespace lumbra
