// Stand-ins for the MP3 encoder library: one that lacks an entry point, and one whose streams
// never open.
#include "rip/lame_entry_points.h"

#define FAKE_EXPORT __attribute__((visibility("default")))

using namespace lumbra;

extern "C" {

FAKE_EXPORT int32_t beInitStream(const LameStreamConfig*, uint32_t*, uint32_t*, LameStreamHandle*) {
    return kLameRefused;
}

FAKE_EXPORT int32_t beEncodeChunk(LameStreamHandle, uint32_t, const int16_t*, uint8_t*, uint32_t*) {
    return kLameBadHandle;
}

FAKE_EXPORT int32_t beDeinitStream(LameStreamHandle, uint8_t*, uint32_t*) {
    return kLameBadHandle;
}

FAKE_EXPORT int32_t beCloseStream(LameStreamHandle) {
    return kLameBadHandle;
}

FAKE_EXPORT void beVersion(LameVersion*) {}

#ifndef FAKE_LAME_WITHOUT_VBR_HEADER
FAKE_EXPORT int32_t beWriteVBRHeader(const char*) {
    return kLameNoHeaderToWrite;
}
#endif

}  // extern "C"
