#include "rip/rip_steps.h"

#include <cstdio>

#include "platform/file_entries.h"
#include "rip/rip_messages.h"
#include "rip/track_encoder.h"
#include "rip/track_status.h"

namespace lumbra {

void postProgress(const RipSession& session, const TrackEntry& track) {
    session.events.post(WM_RIP_PROGRESS, 0, &track);
}

void showRipError(const RipSession& session, const std::string& text) {
    session.prompts.show(ripErrorMessage(text));
}

bool askOverwrite(const RipSession& session, const std::string& path) {
    if (session.settings.overwrite) return true;
    // Whether the file exists, not whether it can be read: a file of mode 0200 is there too.
    if (!platform::entryExists(path)) return true;
    char text[1024];
    std::snprintf(text, sizeof text, rip_messages::kExistsFormat, path.c_str());
    const Message question{rip_messages::kConfirmCaption, text, MessageIcon::Information,
                           MessageButtons::YesNo};
    return session.prompts.show(question) != MessageAnswer::No;
}

void endTrack(const RipSession& session, TrackEntry& track, int32_t status) {
    track.status = status;
    postProgress(session, track);
}

std::string withPath(const char* text, const std::string& path) {
    return std::string(text) + "\n  " + path;
}

bool createdOutput(const RipSession& session, TrackEntry& track, const OutputFile& file) {
    if (file.isOpen()) return true;
    showRipError(session, withPath(rip_messages::kCannotCreateOutput, file.path()));
    track.status = kTrackFailed;
    return false;
}

void failOnWriteError(const RipSession& session, TrackEntry& track, const std::string& path) {
    showRipError(session, withPath(rip_messages::kWriteError, path));
    track.status = kTrackFailed;
}

int32_t passStatus(int32_t from, int32_t percent) {
    return from + percent * (kTrackDone - from) / kTrackDone;
}

}  // namespace lumbra
