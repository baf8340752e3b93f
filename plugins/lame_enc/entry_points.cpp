// The library's six C entry points. Nothing thrown inside may cross them.
#include <lame/lame.h>
#include <cstring>
#include <type_traits>

#include "plugins/lame_enc/header_frame.h"
#include "plugins/lame_enc/stream_registry.h"

#define LUMBRA_EXPORT __attribute__((visibility("default")))

namespace lumbra::lame_plugin {
namespace {

constexpr uint8_t kLibraryMajor = 1;
constexpr uint8_t kLibraryMinor = 0;

// Runs an entry point's work, turning anything thrown (an allocation that failed) into `failure`.
template <typename Call>
int32_t guarded(LameResult failure, Call&& call) {
    try {
        return call();
    } catch (...) {
        return failure;
    }
}

int32_t initStream(const LameStreamConfig* config, uint32_t* samplesPerChunk, uint32_t* outputBytes,
                   LameStreamHandle* stream) {
    if (!config || !samplesPerChunk || !outputBytes || !stream) return kLameBadArgument;
    LameResult result = kLameOk;
    auto opened = EncoderStream::open(*config, result);
    if (!opened) return result;
    *samplesPerChunk = opened->samplesPerChunk();
    *outputBytes = opened->outputBytes();
    *stream = StreamRegistry::instance().add(std::move(opened));
    return kLameOk;
}

int32_t encodeChunk(LameStreamHandle handle, uint32_t sampleCount, const int16_t* samples,
                    uint8_t* output, uint32_t* produced) {
    if (!produced) return kLameBadArgument;
    *produced = 0;
    const auto stream = StreamRegistry::instance().find(handle);
    return stream ? stream->encode(sampleCount, samples, output, *produced) : kLameBadHandle;
}

int32_t deinitStream(LameStreamHandle handle, uint8_t* output, uint32_t* produced) {
    if (!produced) return kLameBadArgument;
    *produced = 0;
    StreamRegistry& registry = StreamRegistry::instance();
    const auto stream = registry.find(handle);
    if (!stream) return kLameBadHandle;
    std::vector<uint8_t> headerFrame;
    uint64_t streamBytes = 0;
    const LameResult result = stream->finish(output, *produced, headerFrame, streamBytes);
    if (result == kLameOk && !headerFrame.empty())
        registry.keepHeaderFrame(std::move(headerFrame), streamBytes);
    return result;
}

void describeVersion(LameVersion* version) {
    if (!version) return;
    lame_version_t engine{};
    get_lame_version_numerical(&engine);
    *version = {};
    version->libraryMajor = kLibraryMajor;
    version->libraryMinor = kLibraryMinor;
    version->engineMajor = uint8_t(engine.major);
    version->engineMinor = uint8_t(engine.minor);
    std::strncpy(version->engineText, get_lame_version(), sizeof version->engineText - 1);
}

}  // namespace
}  // namespace lumbra::lame_plugin

using namespace lumbra;
using namespace lumbra::lame_plugin;

extern "C" {

LUMBRA_EXPORT int32_t beInitStream(const LameStreamConfig* config, uint32_t* samplesPerChunk,
                                   uint32_t* outputBytes, LameStreamHandle* stream) {
    return guarded(kLameRefused,
                   [&] { return initStream(config, samplesPerChunk, outputBytes, stream); });
}

LUMBRA_EXPORT int32_t beEncodeChunk(LameStreamHandle stream, uint32_t sampleCount,
                                    const int16_t* samples, uint8_t* output, uint32_t* produced) {
    return guarded(kLameEncodeFailed,
                   [&] { return encodeChunk(stream, sampleCount, samples, output, produced); });
}

LUMBRA_EXPORT int32_t beDeinitStream(LameStreamHandle stream, uint8_t* output, uint32_t* produced) {
    return guarded(kLameEncodeFailed, [&] { return deinitStream(stream, output, produced); });
}

LUMBRA_EXPORT int32_t beCloseStream(LameStreamHandle stream) {
    return StreamRegistry::instance().remove(stream) ? kLameOk : kLameBadHandle;
}

LUMBRA_EXPORT void beVersion(LameVersion* version) {
    describeVersion(version);
}

LUMBRA_EXPORT int32_t beWriteVBRHeader(const char* path) {
    return guarded(kLameFileError,
                   [&] { return writeHeaderFrame(path, StreamRegistry::instance()); });
}

}  // extern "C"

// The declarations the writers call through must be the ones exported here.
static_assert(std::is_same_v<decltype(&beInitStream), LameInitStreamFn>);
static_assert(std::is_same_v<decltype(&beEncodeChunk), LameEncodeChunkFn>);
static_assert(std::is_same_v<decltype(&beDeinitStream), LameDeinitStreamFn>);
static_assert(std::is_same_v<decltype(&beCloseStream), LameCloseStreamFn>);
static_assert(std::is_same_v<decltype(&beVersion), LameVersionFn>);
static_assert(std::is_same_v<decltype(&beWriteVBRHeader), LameWriteVbrHeaderFn>);
