// What every writer does the same way: the overwrite question, the error box, creating the
// output, reporting progress and the CD read loop.
#pragma once

#include <functional>
#include <span>
#include <string>

#include "cdaccess/cd_handle.h"
#include "rip/output_file.h"
#include "rip/rip_context.h"

namespace lumbra {

// Posts WM_RIP_PROGRESS for the track.
void postProgress(const RipSession& session, const TrackEntry& track);

// The modal error box of the rip job.
void showRipError(const RipSession& session, const std::string& text);

// True when the file may be written: overwrite is on, the file does not exist, or the user
// answered Yes.
bool askOverwrite(const RipSession& session, const std::string& path);

// Ends the track with `status`, posting its progress.
void endTrack(const RipSession& session, TrackEntry& track, int32_t status);

// "<text>", a line break, two spaces and the path: the output-file messages.
std::string withPath(const char* text, const std::string& path);

// True when the output was created; otherwise shows why and fails the track (without posting).
bool createdOutput(const RipSession& session, TrackEntry& track, const OutputFile& file);

// A write error: shows it, fails the track (the caller's OutputFile deletes the file).
void failOnWriteError(const RipSession& session, TrackEntry& track, const std::string& path);

// Receives each read's valid bytes; false stops the loop (the sink has ended the track).
using ChunkSink = std::function<bool(std::span<const uint8_t>)>;

enum class ReadOutcome { Complete, Cancelled, ReadFailed, SinkFailed };

// Told how many of the track's frames have been read, before every fifth read.
using ReadProgress = std::function<void(int32_t framesRead)>;

// The track's status `percent` into a pass that starts at status `from`: test and copy's test
// read fills the first half of the track's progress, and its copy, a pass of its own to every
// writer, the second, so the user sees one run over both.
int32_t passStatus(int32_t from, int32_t percent);

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
