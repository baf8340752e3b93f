// A stand-in writer library whose writer refuses every output format, as a library refuses a
// set-up it cannot encode. It writes nothing.
#include "rip/wma_writer_interface.h"

namespace lumbra {
namespace {

int32_t noInterface(IWmaAudioWriter*, const void*, void**) {
    return kWmaNoInterface;
}
uint32_t oneReference(IWmaAudioWriter*) {
    return 1;
}
int32_t accept(IWmaAudioWriter*) {
    return kWmaOk;
}
int32_t acceptAttribute(IWmaAudioWriter*, const char16_t*, int32_t, const void*, uint32_t) {
    return kWmaOk;
}
int32_t acceptInput(IWmaAudioWriter*, const WmaWaveFormat*) {
    return kWmaOk;
}
int32_t refuseOutput(IWmaAudioWriter*, uint32_t, uint32_t, uint32_t, uint32_t) {
    return kWmaInvalidArgument;
}
int32_t acceptSamples(IWmaAudioWriter*, const uint8_t*, uint32_t) {
    return kWmaOk;
}

const IWmaAudioWriterTable kTable = {noInterface,     oneReference,  oneReference,
                                     acceptAttribute, acceptInput,   refuseOutput,
                                     accept,          acceptSamples, accept};
IWmaAudioWriter writer{&kTable};

}  // namespace
}  // namespace lumbra

extern "C" __attribute__((visibility("default"))) int32_t WMAudioCreateWriter(
    const char16_t*, lumbra::IWmaAudioWriter** out) {
    *out = &lumbra::writer;
    return lumbra::kWmaOk;
}
