// A stand-in writer library whose writer refuses every output format, as a library refuses a
// set-up it cannot encode. It writes nothing.
#include "rip/wma_writer_interface.h"

namespace lumbra {
namespace {

using W = IWmaAudioWriter*;

const IWmaAudioWriterTable kTable = {
    [](W, const void*, void**) { return kWmaNoInterface; },
    [](W) { return 1u; },
    [](W) { return 1u; },
    [](W, const char16_t*, int32_t, const void*, uint32_t) { return kWmaOk; },
    [](W, const WmaWaveFormat*) { return kWmaOk; },
    [](W, uint32_t, uint32_t, uint32_t, uint32_t) { return kWmaInvalidArgument; },
    [](W) { return kWmaOk; },
    [](W, const uint8_t*, uint32_t) { return kWmaOk; },
    [](W) { return kWmaOk; }};
IWmaAudioWriter writer{&kTable};

}  // namespace
}  // namespace lumbra

extern "C" __attribute__((visibility("default"))) int32_t WMAudioCreateWriter(
    const char16_t*, lumbra::IWmaAudioWriter** out) {
    *out = &lumbra::writer;
    return lumbra::kWmaOk;
}
