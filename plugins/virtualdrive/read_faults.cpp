#include "plugins/virtualdrive/read_faults.h"

namespace lumbra::virtualdrive {

uint64_t RepeatableRandom::next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int64_t RepeatableRandom::between(int64_t limit) {
    if (limit <= 0) return 0;
    return int64_t(next() % uint64_t(2 * limit + 1)) - limit;
}

ReadFaults::ReadFaults(const FaultSettings& settings, uint64_t seed)
    : rejected_(settings.rejected),
      untouched_(settings.untouched),
      readErrors_(settings.readErrors),
      jitterSamples_(settings.jitterSamples),
      readOffset_(settings.readOffset),
      cddaSectorTypeOnly_(settings.cddaSectorTypeOnly),
      random_(seed) {}

bool ReadFaults::takeReadError(uint32_t first, uint32_t count) {
    bool failed = false;
    for (ReadErrorFault& fault : readErrors_) {
        const bool covered =
            fault.frame >= first && uint64_t(fault.frame) < uint64_t(first) + count;
        const bool spent = fault.count && *fault.count == 0;
        if (!covered || spent) continue;
        if (fault.count) --*fault.count;
        failed = true;
    }
    return failed;
}

int64_t ReadFaults::landingShift(uint32_t first) {
    if (!nextFrame_ || *nextFrame_ == first) return 0;
    return random_.between(jitterSamples_);
}

}  // namespace lumbra::virtualdrive
