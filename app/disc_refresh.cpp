#include "app/disc_refresh.h"

#include <cstdio>

#include "cdaccess/cd_access.h"
#include "cdaccess/cd_access_errors.h"
#include "cdaccess/cd_handle.h"
#include "cdaccess/drive_discovery.h"
#include "cdaccess/last_error.h"
#include "cdaccess/toc_validation.h"
#include "cdaccess/track_extent.h"
#include "metadata/disc_id.h"

namespace lumbra {
namespace {

bool readPlausibleToc(int handle, TocBuffer& toc) {
    toc = TocBuffer{};
    return handle && readDiscToc(handle, toc) == kResultDone && isPlausibleToc(toc);
}

TrackEntry trackAt(const TocBuffer& toc, int position, const SettingsRecord& settings) {
    TrackEntry track;
    track.number = position + 1;
    char title[32];
    std::snprintf(title, sizeof title, "音轨 %02d", position + 1);
    track.title = title;
    track.start = descriptorLba(toc.descriptors[position], false);
    track.length = trackEndLba(toc, position) - track.start;
    track.seconds = track.length / kFramesPerSecond;
    track.format = settings.defaultFormat;
    applyEncoderDefaults(track, settings.encoder);
    return track;
}

void inform(Prompts& prompts, std::string text) {
    prompts.show({kCaption, std::move(text), MessageIcon::Information, MessageButtons::Ok});
}

// A device the user may not open would look like no drive at all, so the message names each one
// and why, a line each.
std::string noDriveText() {
    std::string text = kNoDriveMessage;
    for (const std::string& problem : driveOpenProblems()) text += "\n" + problem;
    return text;
}

}  // namespace

int refreshDisc(Prompts& prompts, std::vector<DriveEntry>& drives, int driveIndex,
                std::vector<TrackEntry>& tracks, const SettingsRecord& settings, bool report) {
    if (driveIndex < 0 || size_t(driveIndex) >= drives.size()) {
        inform(prompts, noDriveText());
        return -1;
    }
    DriveEntry& drive = drives[size_t(driveIndex)];
    bool read = false;
    bool busy = false;
    {
        const CdHandle handle(drive.openRequest);
        if (!handle) {
            busy = driveHeldByAnotherProgram(drive.openRequest);
            setLastError(kErrorBadHandle);
        }
        read = readPlausibleToc(handle.get(), drive.toc);
        if (read) {
            drive.discId = 0;
            DiscIdResult id{};
            if (computeDiscId(handle.get(), id) == kResultDone) drive.discId = id[0];
            drive.extras = readDiscExtras(handle.get(), drive.toc);
        }
    }
    if (!read) {
        // Another program's open handle says nothing about the disc.
        if (report) inform(prompts, busy ? kDriveBusyMessage : kNoDiscMessage);
        return -1;
    }
    tracks.clear();
    const int count = drive.toc.lastTrack - drive.toc.firstTrack + 1;
    for (int i = 0; i < count; ++i) {
        tracks.push_back(trackAt(drive.toc, i, settings));
        if (size_t(i) < drive.extras.isrcs.size())
            tracks.back().isrc = drive.extras.isrcs[size_t(i)];
    }
    return 0;
}

int64_t readCurrentDiscId(const DriveEntry& drive) {
    const CdHandle handle(drive.openRequest);
    if (!handle) setLastError(kErrorBadHandle);
    TocBuffer toc;
    if (!readPlausibleToc(handle.get(), toc)) return -1;
    DiscIdResult id{};
    return computeDiscId(handle.get(), id) == kResultDone ? int64_t(id[0]) : 0;
}

}  // namespace lumbra
