// The disc lookup job from the main window's side: started, stopped and finished by its end
// message, against CDDB servers on loopback, with the rip that follows.
#include "metadata/disc_lookup_job.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <unistd.h>

#include "cddb_test_disc.h"
#include "metadata/disc_id.h"
#include "metadata/disc_info_text.h"
#include "metadata/recent_disc_table.h"
#include "platform/profile_file.h"
#include "platform/text_encoding.h"
#include "rip/ogg_decoding.h"
#include "support/cddb_test_server.h"
#include "support/cue_image.h"
#include "support/rip_harness.h"

namespace lumbra {
namespace {

using namespace std::chrono_literals;
using test::ServerBehaviour;

constexpr OggSettings kOgg{0, 1, 0, 0, 1, 0, 0, 0, 3, 9};

test::CddbTestEntry entry(const std::string& discId, const std::string& album, const std::string& firstTitle) {
    return {"rock", discId, "Band", album,
            "DISCID=" + discId + "\r\nDTITLE=Band / " + album + "\r\nDYEAR=2001\r\nDGENRE=Rock\r\nTTITLE0=" +
                firstTitle + "\r\nTTITLE1=Second\r\nTTITLE2=Third\r\n"};
}

// The WM_LOOKUP_DONE posts, by the number of the job that sent each.
class LookupEnds : public EventSink {
public:
    void post(int message, uintptr_t job, const void*) override {
        if (message != WM_LOOKUP_DONE) return;
        const std::lock_guard lock(mutex_);
        ended_.push_back(job);
        changed_.notify_all();
    }
    bool waitFor(uintptr_t job, std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return std::count(ended_.begin(), ended_.end(), job) == 1; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<uintptr_t> ended_;
};

bool eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 500 && !condition(); ++i) usleep(10000);
    return condition();
}

class DiscLookup : public test::RipHarness {
protected:
    void SetUp() override {
        RipHarness::SetUp();
        forgetRecentDiscs();
        const std::string cuePath = test::writeCueImage(dir.path(), "disc", {300, 200, 100}).cuePath;
        startVirtualDrives(cuePath);
        test::putDiscIn(cuePath);
        buildDriveList(drives);
        ASSERT_EQ(refreshDisc(prompts, drives, 0, tracks, settings, true), 0);
        CddbSettings& cddb = settings.cddb;
        cddb.useLocalDatabase = true;
        cddb.localDatabaseFolder = dir.path() + "/home/Local CDDB";
        cddb.email = "ripper@example.org";
        useServer(server);
        settings.encoder.ogg = kOgg;
    }

    void useServer(const test::CddbTestServer& chosen) {
        settings.cddb.currentServer = {"127.0.0.1", chosen.port(), "/~cddb/cddb.cgi"};
    }
    uintptr_t start() { return lookups->startDiscLookup(settings.cddb, drives[0].openRequest); }
    std::optional<std::string> finish(uintptr_t job) {
        EXPECT_TRUE(ends.waitFor(job, 10s)) << "job " << job << " ended";
        return lookups->finishDiscLookup(job);
    }
    // A whole lookup, applied as the main window applies it.
    void lookUpAndApply() {
        const auto text = finish(start());
        ASSERT_TRUE(text);
        applyDiscInfoText(*text, disc, tracks);
    }
    std::vector<std::string> titles() const {
        std::vector<std::string> out;
        for (const auto& track : tracks) out.push_back(track.title);
        return out;
    }
    std::string databaseFile() const { return settings.cddb.localDatabaseFolder + "/cdinfo.db"; }

    test::CddbTestServer server;
    LookupEnds ends;
    std::unique_ptr<DiscLookups> lookups =
        std::make_unique<DiscLookups>(ends, flags.lookupActive, CddbTimeouts{1000ms, 1000ms, 300ms});
};

TEST_F(DiscLookup, AppliesTheFirstOfThreeMatchesAndNextTimeNeedsNoServer) {
    server.addEntry(entry("0200b201", "First", "Opening"));
    server.addEntry(entry("0200b202", "Second", "Wrong"));
    server.addEntry(entry("0200b203", "Third", "Wrong"));
    lookUpAndApply();
    EXPECT_EQ(titles(), (std::vector<std::string>{"Opening", "Second", "Third"}));
    EXPECT_EQ(disc.artist + " / " + disc.album + " / " + disc.year, "Band / First / 2001");
    EXPECT_EQ(flags.lookupActive, 0);

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u) << "one query, one read";
    EXPECT_TRUE(requests[0].ends_with("&hello=ripper+example.org+Lumbra+Software&proto=6\r\n")) << requests[0];
    EXPECT_NE(requests[1].find("\r\n\r\ncmd=cddb+read+rock+0200b201&"), std::string::npos) << requests[1];

    const auto recent = findByDiscId(drives[0].discId);
    ASSERT_TRUE(recent);
    char section[9];
    std::snprintf(section, sizeof section, "%X", recent->localKey);
    EXPECT_EQ(platform::profileReadString(databaseFile(), section, "title", ""), "First");
    EXPECT_EQ(platform::profileReadString(databaseFile(), section, "0", ""), "Opening");

    server.setBehaviour(ServerBehaviour::NeverAnswer);
    forgetRecentDiscs();  // as in a new run of the program
    disc = DiscRecord{};
    for (auto& track : tracks) track.title = "default";
    lookUpAndApply();
    EXPECT_EQ(titles(), (std::vector<std::string>{"Opening", "Second", "Third"}));
    EXPECT_EQ(disc.artist + " / " + disc.album + " / " + disc.year, "Band / First / 2001");
    EXPECT_EQ(server.requests().size(), 2u) << "the local database answered alone";
}

TEST_F(DiscLookup, ASilentServerEndsTheLookupAndTheRipKeepsTheDefaultTitles) {
    server.setBehaviour(ServerBehaviour::NeverAnswer);
    const std::vector<std::string> defaults = titles();
    lookUpAndApply();
    EXPECT_EQ(titles(), defaults);
    EXPECT_EQ(disc.album, "Album");
    rip({0}, kFormatWav);
    EXPECT_EQ(access(outputFile(0, ".wav").c_str(), F_OK), 0) << outputFile(0, ".wav");
}

TEST_F(DiscLookup, AStopFreesTheDriveAtOnceAndTheStoppedJobsEndIsIgnored) {
    server.addEntry(entry("0200b201", "Unwanted", "Unwanted"));
    server.delayAnswers(600ms);
    lookups = std::make_unique<DiscLookups>(ends, flags.lookupActive, CddbTimeouts{1000ms, 1000ms, 2000ms});
    const uintptr_t job = start();
    ASSERT_TRUE(eventually([&] { return server.requests().size() == 1; }));
    EXPECT_EQ(getCDHandle(&drives[0].openRequest), 0) << "the job holds the drive";
    lookups->stopDiscLookup();
    EXPECT_EQ(flags.lookupActive, 0);
    const int handle = getCDHandle(&drives[0].openRequest);
    EXPECT_GE(handle, 1) << "the stop closed the job's handle";
    releaseCDHandle(handle);
    EXPECT_FALSE(finish(job));
    EXPECT_EQ(server.requests().size(), 1u) << "the match came after the stop and was not read";
}

// A refresh stops the running lookup and starts the next one at once; the stopped job may still
// be reading its entry and end in the middle of the new one.
TEST_F(DiscLookup, AStoppedJobsEndAndResultNeverPassForTheNextJobs) {
    test::CddbTestServer newServer;
    server.addEntry(entry("0200b201", "Old", "Old title"));
    newServer.addEntry(entry("0200b201", "New", "New title"));
    for (auto* each : {&server, &newServer}) each->delayAnswers(600ms);
    settings.cddb.useLocalDatabase = false;
    lookups = std::make_unique<DiscLookups>(ends, flags.lookupActive, CddbTimeouts{1000ms, 1000ms, 5000ms});

    const uintptr_t oldJob = start();
    ASSERT_TRUE(eventually([&] { return server.requests().size() == 2; })) << "the old job is reading";
    lookups->stopDiscLookup();
    useServer(newServer);
    const uintptr_t newJob = start();
    EXPECT_NE(newJob, oldJob);

    EXPECT_FALSE(finish(oldJob)) << "the stopped job's end";
    EXPECT_EQ(flags.lookupActive, 1) << "the new job is still running";
    const auto text = finish(newJob);
    ASSERT_TRUE(text);
    applyDiscInfoText(*text, disc, tracks);
    EXPECT_EQ(disc.album + " / " + tracks[0].title, "New / New title");
    EXPECT_EQ(flags.lookupActive, 0);
    EXPECT_FALSE(lookups->finishDiscLookup(newJob)) << "an end is taken once";
}

TEST_F(DiscLookup, ChineseTitlesInEitherEncodingNameTheFilesAndTagThem) {
    settings.cddb.useLocalDatabase = false;
    const std::string utf8Entry =
        "DTITLE=王菲 / 唱游\r\nDYEAR=1998\r\nDGENRE=Pop\r\nTTITLE0=打错了\r\nTTITLE1=ab\r\nTTITLE2=c\r\n";
    for (const bool gb18030 : {true, false}) {
        test::CddbTestServer chinese;
        const auto encoded = [&](const std::string& text) { return gb18030 ? platform::utf8ToGbk(text) : text; };
        chinese.addEntry({"rock", discIdText(drives[0].discId), encoded("王菲"), encoded("唱游"), encoded(utf8Entry)});
        useServer(chinese);
        lookUpAndApply();
        EXPECT_EQ(disc.artist + "/" + disc.album + "/" + tracks[0].title, "王菲/唱游/打错了") << gb18030;
        rip({0}, kFormatOgg);
        const std::string path = settings.outputFolder + "/王菲/唱游/打错了.ogg";
        const auto comments = test::decodeOgg(path).comments;
        const auto has = [&](const char* key, const char* value) {
            return std::find(comments.begin(), comments.end(), std::pair<std::string, std::string>(key, value)) !=
                   comments.end();
        };
        EXPECT_TRUE(has("TITLE", "打错了") && has("ARTIST", "王菲") && has("ALBUM", "唱游")) << path;
        std::filesystem::remove_all(settings.outputFolder);
    }
}

}  // namespace
}  // namespace lumbra
