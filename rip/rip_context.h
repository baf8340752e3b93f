// What a writer gets from the rip job: where the job reports, which drive it reads, and the
// track with its buffers and paths.
#pragma once

#include <span>
#include <string>

#include "cdaccess/read_offset.h"
#include "cdaccess/shared_cd_state.h"
#include "cdaccess/track_buffer.h"
#include "metadata/disc_record.h"
#include "metadata/track_entry.h"
#include "platform/prompts.h"
#include "platform/window_messages.h"
#include "rip/output_formats.h"
#include "rip/rip_verification.h"
#include "rip/track_verifier.h"
#include "settings/job_flags.h"
#include "settings/settings_record.h"

namespace lumbra {

// The temporary file of CD audio is a part file of its job (platform/part_file.h) in the output
// folder, with this extension.
inline constexpr const char* kTempPcmExtension = ".pcm";

// Shared by every writer of one job.
struct RipSession {
    Prompts& prompts;
    EventSink& events;
    JobFlags& flags;
    const SettingsRecord& settings;
    const DiscRecord& disc;
    OpenDriveRequest drive;  // the drive chosen in the drive box
    std::span<const OutputFormatEntry> formats = outputFormats();  // what tracks can be written in
    RipVerification* verification = nullptr;  // null: no checksums, lookup or rip log
    int32_t audioTracks = 0;  // the track total that tags give; 0: every track of the list
    ReadOffsetCorrection correction{};  // the drive's read offset and audio extents
};

class LoudnessMeter;

struct RipContext {
    TrackEntry* track = nullptr;
    std::string outputPath;  // native path, extension included
    RipReadBuffers buffers;
    LoudnessMeter* loudness = nullptr;  // measures every read's samples when set
    TrackVerifier* verifier = nullptr;  // sees every byte read from the drive, when set
    // A test read: a chunk the drive cannot read counts as silence, with no box, and the read
    // goes on.
    bool unreadableIsSilence = false;
    int32_t progressFrom = 0;  // the status where this pass starts (passStatus)
};

}  // namespace lumbra
