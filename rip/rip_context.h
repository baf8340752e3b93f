// What a writer gets from the rip job: where the job reports, which drive it reads, and the
// track with its buffers and paths.
#pragma once

#include <string>

#include "app/job_flags.h"
#include "app/prompts.h"
#include "app/settings_record.h"
#include "app/window_messages.h"
#include "cdaccess/shared_cd_state.h"
#include "cdaccess/track_buffer.h"
#include "cdaccess/track_entry.h"
#include "metadata/disc_record.h"
#include "platform/shared_library.h"

namespace lumbra {

inline constexpr const char* kTempPcmName = "lumbra_cdtmp.pcm";

// Shared by every writer of one job.
struct RipSession {
    Prompts& prompts;
    EventSink& events;
    JobFlags& flags;
    const SettingsRecord& settings;
    const DiscRecord& disc;
    OpenDriveRequest drive;  // the drive chosen in the drive box
};

struct RipContext {
    TrackEntry* track = nullptr;
    std::string outputPath;  // native path, extension included
    RipReadBuffers buffers;
    platform::SharedLibrary* encoderLibrary = nullptr;  // the MP3 encoder, loaded by the job
};

struct ConvertContext {
    TrackEntry* track = nullptr;
    std::string pcmPath;     // the temporary file
    std::string outputPath;  // native path, extension included
    platform::SharedLibrary* encoderLibrary = nullptr;
};

}  // namespace lumbra
