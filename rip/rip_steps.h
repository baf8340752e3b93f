// What every writer of a track does the same way: the overwrite question, the error box,
// creating the output, and reporting the track's status.
#pragma once

#include <string>

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

// The track's status `percent` into a pass that starts at status `from`: test and copy's test
// read fills the first half of the track's progress, and its copy, a pass of its own to every
// writer, the second, so the user sees one run over both.
int32_t passStatus(int32_t from, int32_t percent);

}  // namespace lumbra
