#include "rip/compressed_formats.h"

#include <unistd.h>

#include "rip/track_status.h"
#include "rip/track_writing.h"

namespace lumbra {
namespace {

constexpr const char* kEncoderUnavailable = "这个版本还不能写入此格式: ";

// Until the encoders are built in, a track of these formats fails with a plain reason.
void failUnavailable(const RipSession& session, TrackEntry& track, const std::string& path) {
    showRipError(session, withPath(kEncoderUnavailable, path));
    endTrack(session, track, kTrackFailed);
}

void ripUnavailable(const RipSession& session, RipContext& context) {
    failUnavailable(session, *context.track, context.outputPath);
}

void encodeUnavailable(const RipSession& session, ConvertContext& context) {
    unlink(context.pcmPath.c_str());
    failUnavailable(session, *context.track, context.outputPath);
}

}  // namespace

CompressedFormatWriters compressedFormatWriters(int32_t) { return {ripUnavailable, encodeUnavailable}; }

}  // namespace lumbra
