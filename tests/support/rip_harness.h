// A rip through the real job, transport and virtual drive, into a temporary output folder.
#pragma once

#include <sys/resource.h>

#include <unistd.h>
#include <filesystem>
#include <utility>
#include <vector>

#include "app/disc_refresh.h"
#include "platform/atomic_file.h"
#include "platform/file_size_limit.h"
#include "platform/part_file.h"
#include "rip/output_formats.h"
#include "rip/rip_job.h"
#include "rip/track_status.h"
#include "settings/encoder_settings.h"
#include "settings/job_flags.h"
#include "settings/settings_loaders.h"
#include "support/cue_image.h"
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
    CueImage image;  // the disc insertImage wrote
    std::span<const OutputFormatEntry> formats = outputFormats();
    RipVerification* verification = nullptr;  // set: checksums, the database and the rip log
    ReadOffsetCorrection correction;          // none unless a test sets the drive's offset

    // Every encoder at the settings of a first start, its library the one built beside the tests.
    // One encoder thread unless a test asks for more: by default the job would start one for each
    // processor, and the route a track takes would depend on the machine.
    RipHarness() {
        settings.outputFolder = dir.path() + "/out";
        settings.namingTemplate = "<Artist> \\ <Album> \\ <Title>";
        settings.overwrite = true;
        settings.encoderThreads = 1;
        loadEncoderSettings(SettingsStore::inMemory(), settings);
        setenv("LUMBRA_PLUGIN_DIR", LUMBRA_LAME_PLUGIN_DIR, 1);
        disc.artist = "Artist";
        disc.album = "Album";
    }

    void TearDown() override {
        unsetenv("LUMBRA_PLUGIN_DIR");
        IsolatedCdAccess::TearDown();
    }

    // Puts the discs into virtual drives and refreshes drive 0.
    void insertDiscs(const std::string& discs, const std::string& faults = "") {
        startVirtualDrives(discs, faults);
        buildDriveList(drives);
        ASSERT_EQ(refreshDisc(prompts, drives, 0, tracks, settings, true), 0);
    }

    // Writes a disc of tracks of these lengths in frames and inserts it with `faults`.
    void insertImage(const std::vector<int>& trackFrames, const std::string& faults = "") {
        image = writeCueImage(dir.path(), "album", trackFrames);
        insertDiscs("file:" + image.cuePath, faults);
    }

    // Rips the given tracks (0-based) in `format` with the track's default settings.
    void rip(const std::vector<int>& ticked, int32_t format) {
        std::vector<std::pair<int, int32_t>> formats;
        for (int i : ticked) formats.emplace_back(i, format);
        ripFormats(formats);
    }

    // Rips the given tracks, each in its own format with its default settings, in one job.
    void ripFormats(const std::vector<std::pair<int, int32_t>>& formats) {
        std::vector<int> ticked;
        for (const auto& [i, format] : formats) {
            tracks[size_t(i)].format = format;
            applyEncoderDefaults(tracks[size_t(i)], settings.encoder);
            ticked.push_back(i);
        }
        runJob(ticked);
    }

    // Rips the given tracks with the format and settings they already hold, in one job. A status
    // left from an earlier job is cleared, so that 0 afterwards means the job did not get there.
    void runJob(const std::vector<int>& ticked) {
        for (auto& track : tracks) track.checked = 0, track.status = 0;
        for (int i : ticked) tracks[size_t(i)].checked = 1;
        flags.ripRunning = 1;
        runRipJob(session(), tracks);
    }

    RipSession session() {
        RipSession job{prompts, events, flags, settings, disc, drives[0].openRequest, formats};
        job.verification = verification;
        job.correction = correction;
        return job;
    }

    // Rips tracks 0 and 1 onto a disk that is full once a file grows past `bytes`: track 0's
    // file cannot be finished, the 27 frames of track 1 fit.
    void expectAFullDiskFailsOnlyTrackZero(rlim_t bytes, int32_t format,
                                           const std::string& extension) {
        platform::failWritesPastFileSizeLimit();
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        const rlimit small{bytes, old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &small);
        rip({0, 1}, format);
        setrlimit(RLIMIT_FSIZE, &old);
        EXPECT_EQ(tracks[0].status, kTrackFailed);
        EXPECT_FALSE(exists(outputFile(0, extension))) << "no truncated file is left";
        EXPECT_EQ(tracks[1].status, kTrackDone);
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_EQ(prompts.shown[0].text, "写入输出文件出错: \n  " + outputFile(0, extension));
    }

    // Stops the job, as the Stop button does, at the first progress post of a track above
    // `status` and short of done.
    void stopAtProgressAbove(int32_t status) {
        events.onPost = [this, status](const PostedEvent& e) {
            if (e.message == WM_RIP_PROGRESS && e.status > status && e.status < kTrackDone)
                flags.ripRunning = 0;
        };
    }

    // The statuses posted for track i, from the `first` post on.
    std::vector<int32_t> statusesPosted(int i, size_t first = 0) const {
        std::vector<int32_t> statuses;
        const auto posted = events.events();
        for (size_t e = first; e < posted.size(); ++e) {
            if (posted[e].track == &tracks[size_t(i)]) statuses.push_back(posted[e].status);
        }
        return statuses;
    }

    static const char* routeName(bool throughTemporaryFile) {
        return throughTemporaryFile ? "from the temporary file" : "straight from the CD";
    }

    // Where track i's file lands with the harness's template.
    std::string outputFile(int i, const std::string& extension) const {
        return settings.outputFolder + "/Artist/Album/" + tracks[size_t(i)].title + extension;
    }

    // Part files (an unfinished output or the temporary file of CD audio) below the output folder.
    size_t partFilesLeft() const {
        size_t parts = 0;
        if (!std::filesystem::is_directory(settings.outputFolder)) return 0;
        for (const auto& entry :
             std::filesystem::recursive_directory_iterator(settings.outputFolder)) {
            if (entry.path().filename().string().starts_with(platform::kPartFilePrefix)) ++parts;
        }
        return parts;
    }
    static bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }
    static std::string fileText(const std::string& path) {
        return platform::readWholeFile(path).value_or("<missing>");
    }
};

}  // namespace lumbra::test
