// The faults one drive shows while reading, with the state they need: how many failures each
// read error has left and where the last read ended, for the jitter that follows a seek.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "plugins/virtualdrive/fault_settings.h"

namespace lumbra::virtualdrive {

// SplitMix64: tiny, and the same sequence on every platform and standard library.
class RepeatableRandom {
public:
    explicit RepeatableRandom(uint64_t seed) : state_(seed) {}
    uint64_t next();
    // Uniform in [-limit, limit].
    int64_t between(int64_t limit);

private:
    uint64_t state_;
};

class ReadFaults {
public:
    ReadFaults(const FaultSettings& settings, uint64_t seed);

    bool rejects(const ReadMethodSet& methods) const { return (rejected_ & methods).any(); }
    bool leavesUntouched(const ReadMethodSet& methods) const {
        return (untouched_ & methods).any();
    }
    bool wantsCddaSectorType() const { return cddaSectorTypeOnly_; }
    // The drive's read offset in stereo samples: a read delivers the samples this many before
    // the ones it asks for.
    int32_t readOffset() const { return readOffset_; }

    // True when a read error with failures left covers a frame of [first, first + count); each
    // such read error spends one failure.
    bool takeReadError(uint32_t first, uint32_t count);

    // Samples by which a read from `first` lands off: 0 for the first read and for a read that
    // continues where the last one ended, else random within the jitter.
    int64_t landingShift(uint32_t first);
    void readEndedAt(uint32_t nextFrame) { nextFrame_ = nextFrame; }
    // After a disc change the next read counts as a first read.
    void forgetPosition() { nextFrame_.reset(); }

private:
    ReadMethodSet rejected_;
    ReadMethodSet untouched_;
    std::vector<ReadErrorFault> readErrors_;
    int jitterSamples_;
    int32_t readOffset_;
    bool cddaSectorTypeOnly_;
    RepeatableRandom random_;
    std::optional<uint32_t> nextFrame_;
};

}  // namespace lumbra::virtualdrive
