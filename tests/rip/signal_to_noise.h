// The signal-to-noise ratio of a decoded copy against its source, summed sample by sample.
#pragma once

#include <algorithm>
#include <cmath>

namespace lumbra::test {

class SignalToNoise {
public:
    // One source sample and how far the copy is off it.
    void add(double source, double error) {
        signal_ += source * source;
        noise_ += error * error;
    }

    // The ratio in dB. Noise below `noiseFloor` counts as `noiseFloor`, so that an exact copy
    // gives a number too.
    double db(double noiseFloor) const {
        return 10 * std::log10(signal_ / std::max(noise_, noiseFloor));
    }

private:
    double signal_ = 0;
    double noise_ = 0;
};

}  // namespace lumbra::test
