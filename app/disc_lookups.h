// The lookups of one main window: each lookup job runs on a thread of its own and owns its client
// configuration, its drive handle and its result; its WM_LOOKUP_DONE carries its number as
// wParam. A job that was stopped may still be waiting on the network when the next one starts;
// its end and its result can never pass for the new job's.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "cdaccess/shared_cd_state.h"
#include "metadata/cddb_config.h"
#include "metadata/disc_lookup_job.h"
#include "metadata/musicbrainz_client.h"
#include "platform/window_messages.h"
#include "settings/settings_record.h"

namespace lumbra {

// The client configuration of one lookup from the user's settings: the current server, the
// proxy (with credentials only when both user name and password are set), the local database
// file in the local database folder (whose missing folders are created here), the hello address.
CddbConfig lookupClientConfig(const CddbSettings& settings, const CddbTimeouts& timeouts);

// The MusicBrainz client configuration of one lookup: its servers, and the CDDB lookup's proxy and
// time-outs.
MusicBrainzConfig musicBrainzClientConfig(const MusicBrainzSettings& musicBrainz,
                                          const CddbSettings& cddb, const CddbTimeouts& timeouts);

// The lookups of one main window. Every member is called on the user-interface thread; `events`
// and `lookupActive` must outlive the object.
class DiscLookups {
public:
    DiscLookups(EventSink& events, std::atomic<int32_t>& lookupActive, CddbTimeouts timeouts = {});
    DiscLookups(const DiscLookups&) = delete;
    DiscLookups& operator=(const DiscLookups&) = delete;
    // Stops every job and waits for it; a job waiting on the network leaves it at once.
    ~DiscLookups();

    // Sets lookup active and starts a job for `drive` with the settings as they are now. Returns
    // the job's number, which its WM_LOOKUP_DONE carries as wParam.
    uintptr_t startDiscLookup(const CddbSettings& settings, const OpenDriveRequest& drive,
                              const MusicBrainzSettings& musicBrainz = {});

    // When lookup active is set: closes the running job's drive handle, so the drive is free at
    // once, cuts its network exchange short and clears lookup active. The job ends by itself,
    // and its result is dropped.
    void stopDiscLookup();

    // For a WM_LOOKUP_DONE carrying `job`: when that job is the active lookup, clears lookup
    // active and returns the job's text (empty when nothing was found, with why an exchange
    // failed in `failure`), and in `cover` the front cover of the release
    // the text names when covers are wanted (each when not null); nullopt for the end of a job
    // that was stopped, which the caller ignores.
    std::optional<std::string> finishDiscLookup(uintptr_t job, std::string* failure = nullptr,
                                                std::string* cover = nullptr);

private:
    struct Job;

    void runJob(Job& job, const CddbSettings& settings, const OpenDriveRequest& drive,
                const MusicBrainzSettings& musicBrainz);
    static void stop(Job& job);
    void joinEndedJobs();
    Job* findJob(uintptr_t number);

    EventSink& events_;
    std::atomic<int32_t>& lookupActive_;
    const CddbTimeouts timeouts_;
    std::mutex resultMutex_;  // the jobs write their results, the user interface takes them
    std::vector<std::unique_ptr<Job>> jobs_;
    uintptr_t current_ = 0;
    uintptr_t lastNumber_ = 0;
};

}  // namespace lumbra
