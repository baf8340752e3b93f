// The disc lookup job: finds the metadata of the disc in a drive without blocking the user
// interface, asking the local disc database first and a CDDB server second, and hands the
// result over as a disc information text.
//
// Each job owns its client configuration, its drive handle and its result, and its
// WM_LOOKUP_DONE carries its number as wParam. A job that was stopped may still be waiting on the
// network when the next one starts; its end and its result can never pass for the new job's.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/settings_record.h"
#include "app/window_messages.h"
#include "cdaccess/shared_cd_state.h"
#include "metadata/cddb_config.h"

namespace lumbra {

inline constexpr size_t kLookupTextCapacity = 32000;
inline constexpr size_t kLookupMatchCapacity = 32;
// Today's public server keeps titles in UTF-8 and sends them only at level 6; level 5 loses
// every title that is not Latin.
inline constexpr int kLookupProtocolLevel = 6;
inline constexpr const char* kLookupClientName = "Lumbra Software";
inline constexpr const char* kLocalDatabaseFileName = "cdinfo.db";

// The client configuration of one lookup from the user's settings: the current server, the
// proxy (with credentials only when both user name and password are set), the local database
// file in the local database folder (whose missing folders are created here), the hello address.
CddbConfig lookupClientConfig(const CddbSettings& settings, const CddbTimeouts& timeouts);

// A job's drive handle. Whoever lets go first, the job when it is done with the drive or a stop
// that frees the drive at once, closes it; the other finds nothing left to close. A handle the
// job opens after the stop is closed at once, so the drive is free for whatever follows the stop.
class LookupHandle {
public:
    LookupHandle() = default;
    LookupHandle(const LookupHandle&) = delete;
    LookupHandle& operator=(const LookupHandle&) = delete;
    ~LookupHandle() { release(); }

    void hold(int handle);
    int get() const { return handle_; }
    void release();
    void stop();

private:
    std::atomic<int> handle_{0};
    std::atomic<bool> stopped_{false};
};

// The job's body on the calling thread: the disc information text found for the disc in
// `drive`, empty when nothing was found or anything failed. The drive is held only while the
// disc is identified, never during a network exchange. When `wanted` is cleared while the
// server is asked, no entry is read.
std::string runDiscLookup(const CddbConfig& config, const OpenDriveRequest& drive,
                          LookupHandle& handle, const std::atomic<bool>& wanted);

// The lookups of one main window. Every member is called on the user-interface thread; `events`
// and `lookupActive` must outlive the object.
class DiscLookups {
public:
    DiscLookups(EventSink& events, std::atomic<int32_t>& lookupActive, CddbTimeouts timeouts = {});
    DiscLookups(const DiscLookups&) = delete;
    DiscLookups& operator=(const DiscLookups&) = delete;
    // Waits for every job, stopped ones included; the time-outs bound the wait.
    ~DiscLookups();

    // Sets lookup active and starts a job for `drive` with the settings as they are now. Returns
    // the job's number, which its WM_LOOKUP_DONE carries as wParam.
    uintptr_t startDiscLookup(const CddbSettings& settings, const OpenDriveRequest& drive);

    // When lookup active is set: closes the running job's drive handle, so the drive is free at
    // once, and clears lookup active. The job ends by itself, and its result is dropped.
    void stopDiscLookup();

    // For a WM_LOOKUP_DONE carrying `job`: when that job is the active lookup, clears lookup
    // active and returns the job's text (empty when nothing was found); nullopt for the end of a
    // job that was stopped, which the caller ignores.
    std::optional<std::string> finishDiscLookup(uintptr_t job);

private:
    struct Job;

    void runJob(Job& job, const CddbSettings& settings, const OpenDriveRequest& drive);
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
