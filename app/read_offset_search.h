// The read-offset search of one window, on a worker thread: it reads a drive's first audio tracks
// and matches them with the AccurateRip database, which takes the drive's and the network's time.
// The worker owns copies of all it reads (the settings, the track list, the disc's fingerprint
// and lookup), so the window may refresh or choose another drive meanwhile, and posts
// WM_OFFSET_DONE with the search's number as wParam when it ends, stopped or not.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "app/signal_stop.h"
#include "platform/manual_reset_event.h"
#include "platform/prompts.h"
#include "platform/window_messages.h"
#include "rip/offset_detection.h"
#include "rip/rip_context.h"
#include "settings/job_flags.h"

namespace lumbra {

// What one search reads.
struct OffsetSearchInput {
    SettingsRecord settings;
    OpenDriveRequest drive;
    ReadOffsetCorrection extents;  // the disc's audio extents; the offset is not applied
    RipVerification verification;  // the disc's, with the lookup when one was made
    std::vector<TrackEntry> tracks;
};

struct OffsetSearchEnd {
    OffsetDetection detection;
    std::optional<AccurateRipLookup> lookup;  // the database's answer, when the search got one
    // What the reads would have shown (a read error's box), to be shown now: the worker never
    // waits for a person, so the window may stop it at any moment.
    std::vector<Message> messages;
};

// Every member is called on the user-interface thread; `events` must outlive the object.
class ReadOffsetSearch {
public:
    explicit ReadOffsetSearch(EventSink& events);
    ReadOffsetSearch(const ReadOffsetSearch&) = delete;
    ReadOffsetSearch& operator=(const ReadOffsetSearch&) = delete;
    // Stops a running search and waits for it.
    ~ReadOffsetSearch();

    // Starts a search unless one runs; false when one does.
    bool start(OffsetSearchInput input);
    // From start until the search's end has been taken by finish or stop.
    bool running() const { return thread_.joinable(); }
    // Stops the running search (its reads and its database exchange end at once) and waits for
    // it. Its WM_OFFSET_DONE still comes, and finish then gives Stopped.
    void stop();
    // For WM_OFFSET_DONE carrying `search`: waits for the worker and returns how the search
    // ended; nullopt for a search before the last one started.
    std::optional<OffsetSearchEnd> finish(uintptr_t search);

    // Stops the search's reads and its database exchange from a signal handler.
    SignalStop signalStop() { return {&flags_.ripRunning, stop_.descriptor()}; }

private:
    struct Job;

    EventSink& events_;
    JobFlags flags_;
    platform::ManualResetEvent stop_;
    std::unique_ptr<Job> job_;  // the last search started, until its end is taken
    std::thread thread_;
    uintptr_t lastNumber_ = 0;
};

}  // namespace lumbra
