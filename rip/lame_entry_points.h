// The six C entry points of the MP3 encoder library, as the writers call them and the library
// exports them. Every call but beVersion returns a LameResult.
#pragma once

#include <cstdint>

#include "rip/lame_stream_config.h"

namespace lumbra {

enum LameResult : int32_t {
    kLameOk = 0,
    kLameBadConfig = 1,    // layout, version, size or a code the library does not know
    kLameRefused = 2,      // the encoder cannot make a stream of these settings
    kLameBadHandle = 3,    // no open stream has this handle
    kLameBadArgument = 4,  // null pointers, or more samples than a chunk holds
    kLameEncodeFailed = 5,
    kLameNoHeaderToWrite = 6,  // no finished stream reserved a header frame in that file
    kLameFileError = 7,
};

// Streams are numbered, never addressed: a closed or made-up handle is refused, not followed.
using LameStreamHandle = uint32_t;

#pragma pack(push, 1)
struct LameVersion {
    uint8_t libraryMajor;
    uint8_t libraryMinor;
    uint8_t engineMajor;
    uint8_t engineMinor;
    char engineText[60];  // zero-terminated
};
#pragma pack(pop)
static_assert(sizeof(LameVersion) == 64);

extern "C" {
// Opens a stream; the writer hands over at most `samplesPerChunk` 16-bit samples (channels
// interleaved and counted separately) per call and keeps `outputBytes` of room for the result.
typedef int32_t (*LameInitStreamFn)(const LameStreamConfig* config, uint32_t* samplesPerChunk,
                                    uint32_t* outputBytes, LameStreamHandle* stream);
typedef int32_t (*LameEncodeChunkFn)(LameStreamHandle stream, uint32_t sampleCount,
                                     const int16_t* samples, uint8_t* output, uint32_t* produced);
// The last bytes of the stream; nothing can be encoded after it.
typedef int32_t (*LameDeinitStreamFn)(LameStreamHandle stream, uint8_t* output, uint32_t* produced);
typedef int32_t (*LameCloseStreamFn)(LameStreamHandle stream);
typedef void (*LameVersionFn)(LameVersion* version);
// Completes the header frame at the start of a finished, closed file of the stream.
typedef int32_t (*LameWriteVbrHeaderFn)(const char* path);
}

}  // namespace lumbra
