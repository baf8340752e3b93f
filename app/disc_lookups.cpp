#include "app/disc_lookups.h"

#include <algorithm>
#include <thread>

#include "metadata/cover_store.h"
#include "naming/output_naming.h"

namespace lumbra {
namespace {

// The folders are made here because nothing else would: the database only writes into them.
std::string localDatabasePath(const std::string& folder) {
    const OutputFolder databaseFolder(folder);
    databaseFolder.prepare(nullptr);
    return databaseFolder.nativePath(kLocalDatabaseFileName);
}

}  // namespace

CddbConfig lookupClientConfig(const CddbSettings& settings, const CddbTimeouts& timeouts) {
    CddbConfig config = defaultCddbConfig();
    config.timeouts = timeouts;
    setCddbOption(config, CddbOption::UseLocalDatabase, "", settings.useLocalDatabase);
    if (settings.useLocalDatabase) {
        setCddbOption(config, CddbOption::LocalDatabaseFile,
                      localDatabasePath(settings.localDatabaseFolder), 0);
    }
    const CddbServerAddress& server = settings.currentServer;
    setCddbOption(config, CddbOption::ServerHost, server.host, 0);
    setCddbOption(config, CddbOption::ServerPort, "", server.port);
    setCddbOption(config, CddbOption::QueryPath, server.queryPath, 0);
    setCddbOption(config, CddbOption::UseProxy, "", settings.useProxy);
    setCddbOption(config, CddbOption::ProtocolLevel, "", kLookupProtocolLevel);
    if (settings.useProxy) {
        setCddbOption(config, CddbOption::ProxyHost, settings.proxyHost, 0);
        setCddbOption(config, CddbOption::ProxyPort, "", settings.proxyPort);
        if (!settings.proxyUser.empty() && !settings.proxyPassword.empty()) {
            setCddbOption(config, CddbOption::ProxyCredentials,
                          settings.proxyUser + ":" + settings.proxyPassword, 0);
        }
    }
    if (!settings.email.empty()) setCddbOption(config, CddbOption::HelloUser, settings.email, 0);
    setCddbOption(config, CddbOption::ClientName, kLookupClientName, 0);
    return config;
}

MusicBrainzConfig musicBrainzClientConfig(const MusicBrainzSettings& musicBrainz,
                                          const CddbSettings& cddb, const CddbTimeouts& timeouts) {
    MusicBrainzConfig config;
    config.enabled = musicBrainz.enabled;
    config.server = musicBrainz.server;
    config.port = musicBrainz.port;
    config.tls = musicBrainz.tls;
    config.coverArt = musicBrainz.coverArt;
    config.coverServer = musicBrainz.coverServer;
    config.coverPort = musicBrainz.coverPort;
    config.coverTls = musicBrainz.coverTls;
    platform::HttpGetOptions& http = config.http;
    http.connect = std::max(timeouts.resolve, timeouts.connect);
    http.stall = timeouts.receive;
    http.total = timeouts.exchange;
    if (cddb.useProxy) {
        http.proxyHost = cddb.proxyHost;
        http.proxyPort = cddb.proxyPort;
        if (!cddb.proxyUser.empty() && !cddb.proxyPassword.empty()) {
            http.proxyCredentials = cddb.proxyUser + ":" + cddb.proxyPassword;
        }
    }
    return config;
}

struct DiscLookups::Job {
    uintptr_t number = 0;
    std::atomic<bool> wanted{true};
    std::atomic<bool> ended{false};
    LookupHandle handle;
    CddbExchanges exchanges;
    std::string failure;  // why an exchange failed, when nothing was found
    std::string result;
    std::string cover;
    std::thread thread;
};

DiscLookups::DiscLookups(EventSink& events, std::atomic<int32_t>& lookupActive,
                         CddbTimeouts timeouts)
    : events_(events), lookupActive_(lookupActive), timeouts_(timeouts) {}

DiscLookups::~DiscLookups() {
    for (auto& job : jobs_) stop(*job);
    for (auto& job : jobs_) {
        if (job->thread.joinable()) job->thread.join();
    }
}

uintptr_t DiscLookups::startDiscLookup(const CddbSettings& settings, const OpenDriveRequest& drive,
                                       const MusicBrainzSettings& musicBrainz) {
    joinEndedJobs();
    jobs_.push_back(std::make_unique<Job>());
    Job& job = *jobs_.back();
    job.number = ++lastNumber_;
    current_ = job.number;
    lookupActive_ = 1;
    job.thread = std::thread(
        [this, &job, settings, drive, musicBrainz] { runJob(job, settings, drive, musicBrainz); });
    return job.number;
}

void DiscLookups::stopDiscLookup() {
    if (lookupActive_ == 0) return;
    if (Job* job = findJob(current_)) stop(*job);
    current_ = 0;
    lookupActive_ = 0;
}

std::optional<std::string> DiscLookups::finishDiscLookup(uintptr_t number, std::string* failure,
                                                         std::string* cover) {
    if (number == 0 || number != current_ || lookupActive_ == 0) return std::nullopt;
    Job* job = findJob(number);
    current_ = 0;
    lookupActive_ = 0;
    if (!job) return std::nullopt;
    const std::lock_guard lock(resultMutex_);
    if (failure) *failure = std::move(job->failure);
    if (cover) *cover = std::move(job->cover);
    return std::move(job->result);
}

// A stopped job lets the drive go and leaves the network at once: nothing it could still receive
// is wanted, and the program's exit waits for it.
void DiscLookups::stop(Job& job) {
    job.wanted = false;
    job.handle.stop();
    job.exchanges.stop();
}

void DiscLookups::runJob(Job& job, const CddbSettings& settings, const OpenDriveRequest& drive,
                         const MusicBrainzSettings& musicBrainz) {
    CddbConfig config = lookupClientConfig(settings, timeouts_);
    config.exchanges = &job.exchanges;
    MusicBrainzConfig mbConfig = musicBrainzClientConfig(musicBrainz, settings, timeouts_);
    mbConfig.http.stop = &job.exchanges.stopEvent();
    std::string text = runDiscLookup(config, drive, job.handle, job.wanted, &mbConfig);
    // The cover comes with the titles, so the rip page can show it before the rip starts.
    std::string cover;
    if (mbConfig.coverArt && job.wanted)
        cover = lookUpFrontCover(config, mbConfig, musicBrainzReleaseOf(text));
    {
        const std::lock_guard lock(resultMutex_);
        if (text.empty()) job.failure = job.exchanges.failure();
        job.result = std::move(text);
        job.cover = std::move(cover);
    }
    events_.post(WM_LOOKUP_DONE, job.number, nullptr);
    job.ended = true;
}

// Only jobs that have posted their end are joined, so a start never waits for a stopped job
// that is still blocked in the network.
void DiscLookups::joinEndedJobs() {
    std::erase_if(jobs_, [this](const std::unique_ptr<Job>& job) {
        if (!job->ended || job->number == current_) return false;
        job->thread.join();
        return true;
    });
}

DiscLookups::Job* DiscLookups::findJob(uintptr_t number) {
    const auto it = std::find_if(jobs_.begin(), jobs_.end(),
                                 [number](const auto& job) { return job->number == number; });
    return it == jobs_.end() ? nullptr : it->get();
}

}  // namespace lumbra
