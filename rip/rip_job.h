// The rip job: every ticked track of the list, in list order, written in its own format.
#pragma once

#include <thread>
#include <vector>

#include "rip/rip_context.h"

namespace lumbra {

// The job's body. Writes only the tracks' status fields and currentTrackIndex; posts
// WM_RIP_DONE exactly once, as its last action. Each track is written as its entry was when the
// job started: later changes to the entries' formats and settings are for the next job.
void runRipJob(const RipSession& session, std::vector<TrackEntry>& tracks);

// Runs the job on a thread of the lowest normal priority, with the entries as they are at this
// call. The caller has set ripRunning; `session` and `tracks` must outlive the thread.
std::thread startRipJob(const RipSession& session, std::vector<TrackEntry>& tracks);

}  // namespace lumbra
