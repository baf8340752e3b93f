// The library's only export.
#include <type_traits>

#include "audio_writer_object.h"

extern "C" __attribute__((visibility("default"))) int32_t WMAudioCreateWriter(
    const char16_t* path, lumbra::IWmaAudioWriter** writer) {
    return lumbra::wma::AudioWriterObject::create(path, writer);
}

static_assert(std::is_same_v<decltype(&WMAudioCreateWriter), lumbra::WmaCreateWriterFunction>);
