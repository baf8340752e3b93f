// The loop that reads one track from the drive for a rip: 26 frames a read through the drive's
// overlapped reads, corrected by the read offset, each read's samples shown to the track's
// checksums and loudness meter before the writer's sink gets them.
#pragma once

#include <functional>
#include <span>

#include "cdaccess/cd_handle.h"
#include "rip/rip_context.h"

namespace lumbra {

// Receives each read's valid bytes; false stops the loop (the sink has ended the track).
using ChunkSink = std::function<bool(std::span<const uint8_t>)>;

enum class ReadOutcome { Complete, Cancelled, ReadFailed, SinkFailed };

// Told how many of the track's frames have been read, before every fifth read.
using ReadProgress = std::function<void(int32_t framesRead)>;

// The share of the track read, from `from` to `to` percent, set as its status and posted.
ReadProgress scaledReadProgress(const RipSession& session, TrackEntry& track, int32_t from,
                                int32_t to);

// Reads the track 26 frames at a time through an open handle, corrected by the session's read
// offset, reporting progress; a cleared ripRunning before a read ends it Cancelled. On a read
// error it shows the frame and the CD access codes and fails the track. The context's loudness
// meter and verifier, if any, see every sample the sink gets.
ReadOutcome readTrackChunks(const RipSession& session, RipContext& context, int handle,
                            const ReadProgress& progress, const ChunkSink& sink);

// An open CD handle with the rip's overlap and compare settings.
class RipHandle : public CdHandle {
public:
    explicit RipHandle(const OpenDriveRequest& drive);
};

}  // namespace lumbra
