#include "rip/unavailable_encoder.h"

#include "rip/track_status.h"
#include "rip/track_writing.h"

namespace lumbra {

void failUnavailableEncoder(const RipSession& session, TrackEntry& track, const std::string& path) {
    showRipError(session, withPath("这个版本还不能写入此格式: ", path));
    endTrack(session, track, kTrackFailed);
}

}  // namespace lumbra
