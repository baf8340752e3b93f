// A rip through the real job, transport and virtual drive, into a temporary output folder.
#pragma once

#include <sys/resource.h>
#include <utility>
#include <vector>

#include "app/encoder_settings.h"
#include "app/job_flags.h"
#include "cdaccess/disc_refresh.h"
#include "platform/atomic_file.h"
#include "rip/rip_job.h"
#include "rip/track_status.h"
#include "support/isolated_cd_access.h"
#include "support/recording_events.h"
#include "support/recording_prompts.h"
#include "support/temp_dir.h"

namespace lumbra::test {

class RipHarness : public IsolatedCdAccess {
protected:
    TempDir dir;
    RecordingPrompts prompts;
    RecordingEvents events;
    JobFlags flags;
    SettingsRecord settings;
    DiscRecord disc;
    std::vector<DriveEntry> drives;
    std::vector<TrackEntry> tracks;

    RipHarness() {
        settings.outputFolder = dir.path() + "/out";
        settings.namingTemplate = "<Artist> \\ <Album> \\ <Title>";
        settings.overwrite = true;
        settings.encoder.wav = {1, 1, 1};
        disc.artist = "Artist";
        disc.album = "Album";
    }

    // Puts the discs into virtual drives and refreshes drive 0.
    void insertDiscs(const std::string& discs, const std::string& faults = "") {
        startVirtualDrives(discs, faults);
        buildDriveList(drives);
        ASSERT_EQ(refreshDisc(prompts, drives, 0, tracks, settings, true), 0);
    }

    // Rips the given tracks (0-based) in `format` with the track's default settings.
    void rip(std::vector<int> ticked, int32_t format) {
        std::vector<std::pair<int, int32_t>> formats;
        for (int i : ticked) formats.emplace_back(i, format);
        ripFormats(formats);
    }

    // Rips the given tracks, each in its own format with its default settings, in one job.
    void ripFormats(const std::vector<std::pair<int, int32_t>>& formats) {
        for (auto& track : tracks) track.checked = 0;
        for (const auto& [i, format] : formats) {
            tracks[size_t(i)].checked = 1;
            tracks[size_t(i)].format = format;
            applyEncoderDefaults(tracks[size_t(i)], settings.encoder);
        }
        flags.ripRunning = 1;
        const RipSession session{prompts, events, flags, settings, disc, drives[0].openRequest};
        runRipJob(session, tracks);
    }

    // Rips as rip() does on a disk that is full once a file grows past `bytes`.
    void ripOntoAFullDisk(rlim_t bytes, std::vector<int> ticked, int32_t format) {
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        const rlimit small{bytes, old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &small);
        rip(std::move(ticked), format);
        setrlimit(RLIMIT_FSIZE, &old);
    }

    // Stops the job, as the Stop button does, at the first progress post of a track above
    // `status` and short of done.
    void stopAtProgressAbove(int32_t status) {
        events.onPost = [this, status](const PostedEvent& e) {
            if (e.message == WM_RIP_PROGRESS && e.status > status && e.status < kTrackDone)
                flags.ripRunning = 0;
        };
    }

    // Where track i's file lands with the harness's template.
    std::string outputFile(int i, const std::string& extension) const {
        return settings.outputFolder + "/Artist/Album/" + tracks[size_t(i)].title + extension;
    }

    std::string fileText(const std::string& path) const {
        return platform::readWholeFile(path).value_or("<missing>");
    }
};

}  // namespace lumbra::test
