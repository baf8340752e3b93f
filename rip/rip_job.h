// The rip job: every ticked track of the list, in list order, written in its own format.
//
// A track's way from the drive to its file, hop by hop. The job's reader thread (here,
// rip_job.cpp) picks the route and reads the track through the read loop (track_read_loop.cpp):
// the drive's overlapped reads with jitter correction (cdaccess/rip_reads.cpp) and the read
// offset's correction (corrected_samples.cpp). Every corrected sample passes the observers before
// anything else sees it: the checksums and the database's verdict (track_verifier.cpp,
// track_checksums.cpp) and the loudness meter (loudness.cpp). Then one of two routes. Straight
// from the drive, the writer (track_writer.cpp) feeds each read to the encoder on the reader's
// thread. From a source, the audio is handed over first, either to an encoder thread
// (overlapped_track.cpp, track_audio.cpp, encoder_pool.cpp) or, with anti-crackle on one thread,
// to the temporary file (temporary_pcm_writer.cpp, read back by temporary_pcm.cpp); the writer
// then takes it piece by piece from an audio source (audio_source.h). The encoder is the format's
// row (output_formats.cpp, track_encoder.h) and writes its own tags with the audio (id3v2_tag.cpp,
// xiph_comments.cpp, ...) into the output file, under a hidden part name (output_file.cpp). A
// track that ends Done has its file renamed to its final name there (OutputFile::commit); only
// then does the job add the cover art (cover_art.cpp) and the ReplayGain tags
// (replay_gain_tags.cpp), and the log and CUE sheet at the job's end (rip_log.cpp).
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
