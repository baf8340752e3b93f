// One track read as the rip job reads it: the track list from a refresh of drive 0, a handle with
// overlap 3 and compare 1, and readForRip 26 frames at a time until the track ends or a read fails.
#pragma once

#include <string>
#include <vector>

#include "app/disc_refresh.h"
#include "cdaccess/cd_access.h"
#include "cdaccess/last_error.h"
#include "cdaccess/rip_reads.h"
#include "settings/settings_record.h"
#include "support/recording_prompts.h"

namespace lumbra::test {

struct TrackRip {
    std::vector<TrackEntry> tracks;
    std::vector<uint8_t> bytes;     // what the reads delivered
    std::vector<uint8_t> expected;  // filled by the caller
    std::string failure;            // the failed frame and its error, empty when none failed

    bool exact() const { return failure.empty() && bytes == expected; }
    // What the rip job may do: a whole, exact track, or a failure that names its frame.
    bool exactOrNamedFailure() const { return failure.empty() ? bytes == expected : true; }
};

inline TrackRip ripTrackLikeTheJob(size_t index, int32_t mode) {
    TrackRip rip;
    std::vector<DriveEntry> drives;
    RecordingPrompts prompts;
    buildDriveList(drives);
    if (refreshDisc(prompts, drives, 0, rip.tracks, SettingsRecord{}, false) != 0 ||
        index >= rip.tracks.size()) {
        rip.failure = "no such track";
        return rip;
    }
    const TrackEntry& track = rip.tracks[index];
    const int handle = getCDHandle(&drives[0].openRequest);
    setDriveParameter(handle, kParamOverlapFrames, kRipOverlapFrames);
    setDriveParameter(handle, kParamCompareFrames, 1);
    RipReadBuffers buffers;
    for (int start = track.start; start < track.start + track.length; start += kRipReadFrames) {
        const int count = std::min(kRipReadFrames, track.start + track.length - start);
        if (readForRip(handle, buffers, count, start, mode) != 1) {
            const int error = takeLastError();
            rip.failure = "frame " + std::to_string(start) + " (" + std::to_string(error) + ":" +
                          std::to_string(takeLastStatus()) + ")";
            break;
        }
        // What the job would write, so that a short or misplaced read shows as wrong bytes.
        const auto data = buffers.current->validData();
        rip.bytes.insert(rip.bytes.end(), data.begin(), data.end());
    }
    releaseCDHandle(handle);
    return rip;
}

}  // namespace lumbra::test
