#include "rip/corrected_samples.h"

#include <algorithm>
#include <array>

#include "cdaccess/cd_frame.h"

namespace lumbra {
namespace {

constexpr int64_t kSilencePieceSamples = 26 * kSamplesPerFrame;

}  // namespace

CorrectedSamples::CorrectedSamples(const CorrectedReadPlan& plan, Sink sink)
    : sink_(std::move(sink)),
      skipBytes_(uint64_t(plan.skip) * kCdSampleBytes),
      takeBytes_(uint64_t(plan.samples) * kCdSampleBytes) {}

bool CorrectedSamples::frames(std::span<const uint8_t> bytes) {
    const size_t skipped = size_t(std::min<uint64_t>(skipBytes_, bytes.size()));
    skipBytes_ -= skipped;
    bytes = bytes.subspan(skipped);
    bytes = bytes.first(size_t(std::min<uint64_t>(takeBytes_, bytes.size())));
    takeBytes_ -= bytes.size();
    return bytes.empty() || sink_(bytes);
}

bool CorrectedSamples::silence(int64_t samples) {
    static const std::array<uint8_t, kSilencePieceSamples * kCdSampleBytes> kSilence{};
    while (samples > 0) {
        const int64_t piece = std::min(samples, kSilencePieceSamples);
        if (!sink_(std::span(kSilence).first(size_t(piece) * kCdSampleBytes))) return false;
        samples -= piece;
    }
    return true;
}

}  // namespace lumbra
