// The lookups of a main window as tests run them: jobs for a three-track disc in a virtual drive
// (tracks at 00:02:00, 00:06:00 and 00:08:50, lead-out at 00:10:00), their ends awaited and their
// texts applied to the disc record and the tracks as the main window applies them.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>
#include <algorithm>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/disc_lookups.h"
#include "metadata/disc_info_text.h"
#include "metadata/recent_disc_table.h"
#include "metadata/track_credits.h"
#include "support/cue_image.h"
#include "support/rip_harness.h"

namespace lumbra::test {

// True once `condition` holds, polled for up to ten seconds.
inline bool eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 1000 && !condition(); ++i) usleep(10000);
    return condition();
}

// The WM_LOOKUP_DONE posts, by the number of the job that sent each.
class LookupEnds : public EventSink {
public:
    void post(int message, uintptr_t job, const void*) override {
        const std::lock_guard lock(mutex_);
        if (message == WM_LOOKUP_DONE) ended_.push_back(job);
    }
    bool endedOnce(uintptr_t job) {
        return eventually([&] {
            const std::lock_guard lock(mutex_);
            return std::count(ended_.begin(), ended_.end(), job) == 1;
        });
    }

private:
    std::mutex mutex_;
    std::vector<uintptr_t> ended_;
};

class LookupHarness : public RipHarness {
protected:
    void SetUp() override {
        RipHarness::SetUp();
        forgetRecentDiscs();
        insertDiscs(writeCueImage(dir.path(), "disc", {300, 200, 100}).cuePath);
        settings.cddb.useLocalDatabase = true;
        settings.cddb.localDatabaseFolder = dir.path() + "/home/Local CDDB";
    }

    // Runs from now on with these time-outs.
    void useTimeouts(CddbTimeouts timeouts) {
        lookups = std::make_unique<DiscLookups>(ends, flags.lookupActive, timeouts);
    }
    uintptr_t start() {
        return lookups->startDiscLookup(settings.cddb, drives[0].openRequest, settings.musicBrainz);
    }
    std::optional<std::string> finish(uintptr_t job, std::string* cover = nullptr) {
        EXPECT_TRUE(ends.endedOnce(job)) << "job " << job << " ended";
        return lookups->finishDiscLookup(job, nullptr, cover);
    }
    // A whole lookup, applied as the main window applies it; the cover it brought.
    std::string lookUpAndApply() {
        std::string cover;
        const auto text = finish(start(), &cover);
        EXPECT_TRUE(text);
        if (text) applyDiscInfoText(*text, disc, tracks);
        return cover;
    }
    // What the main window shows of the disc: its artist, album and year, then the track list.
    std::string shown() const {
        std::string out = disc.artist + " / " + disc.album + " / " + disc.year + ":";
        for (const auto& track : tracks) out += " | " + creditedTitle(track);
        return out;
    }
    // As before a lookup in a new run of the program.
    void forgetTitles() {
        disc = DiscRecord{};
        for (auto& track : tracks) track.title = "default", track.artist.clear();
    }

    LookupEnds ends;
    std::unique_ptr<DiscLookups> lookups =
        std::make_unique<DiscLookups>(ends, flags.lookupActive, CddbTimeouts{});
};

}  // namespace lumbra::test
