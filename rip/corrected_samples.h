// Turns the frames a corrected read fetches into exactly the track's samples: the samples in
// front of the track in the first frame and those past it in the last are dropped, and silence
// stands for what the drive cannot deliver.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "cdaccess/read_offset.h"

namespace lumbra {

class CorrectedSamples {
public:
    // Receives the track's bytes in order; false stops the read.
    using Sink = std::function<bool(std::span<const uint8_t>)>;

    CorrectedSamples(const CorrectedReadPlan& plan, Sink sink);

    // The bytes of the next frames read, in order; false when the sink refused them.
    bool frames(std::span<const uint8_t> bytes);
    // `samples` samples of digital silence; false when the sink refused them.
    bool silence(int64_t samples);

private:
    Sink sink_;
    uint64_t skipBytes_;  // still to drop in front
    uint64_t takeBytes_;  // still to hand on from the frames
};

}  // namespace lumbra
