#include "metadata/disc_lookup_job.h"

#include <algorithm>
#include <cstdio>
#include <thread>

#include "cdaccess/cd_access.h"
#include "cdaccess/cd_access_errors.h"
#include "metadata/cddb_client.h"
#include "metadata/disc_id.h"
#include "metadata/local_disc_database.h"
#include "naming/output_naming.h"

namespace lumbra {
namespace {

// The folders are made here because nothing else would: the database only writes into them.
std::string localDatabasePath(const std::string& folder) {
    const OutputFolder databaseFolder(folder);
    databaseFolder.prepare(nullptr);
    return databaseFolder.nativePath(kLocalDatabaseFileName);
}

std::string localKeyText(uint32_t localKey) {
    char text[9];
    std::snprintf(text, sizeof text, "%X", localKey);
    return text;
}

// What the lookup needs of the drive, taken before any network exchange so the drive is free
// during it. Computing the disc ID also records the disc in the recent-disc table, which the
// text of a local entry takes its frame offsets from.
struct IdentifiedDisc {
    DiscIdResult id{};
    uint32_t localKey = 0;
};

std::optional<IdentifiedDisc> identifyDisc(int handle) {
    IdentifiedDisc disc;
    if (computeDiscId(handle, disc.id) != kResultDone) return std::nullopt;
    disc.localKey = localDiscKey(handle);
    return disc;
}

std::optional<std::string> localDatabaseText(const CddbConfig& config, const IdentifiedDisc& disc) {
    const uint32_t localKey = disc.localKey;
    if (!hasLocalEntry(config.localDatabaseFile, localKey, disc.id)) return std::nullopt;
    const CddbMatch local{kLocalDatabaseCategory, localKeyText(localKey), "", ""};
    std::string text;
    if (readLocalEntry(config.localDatabaseFile, local, text, kLookupTextCapacity) != kResultDone) {
        return std::nullopt;
    }
    return text;
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

void LookupHandle::hold(int handle) {
    handle_ = handle;
    // Checked after storing, so a stop in between is seen by one side or the other.
    if (stopped_) release();
}

void LookupHandle::stop() {
    stopped_ = true;
    release();
}

void LookupHandle::release() {
    const int handle = handle_.exchange(0);
    if (handle > 0) releaseCDHandle(handle);
}

std::string runDiscLookup(const CddbConfig& config, const OpenDriveRequest& drive,
                          LookupHandle& handle, const std::atomic<bool>& wanted) {
    if (!wanted) return {};
    handle.hold(getCDHandle(&drive));
    if (handle.get() <= 0) return {};
    const auto disc = identifyDisc(handle.get());
    handle.release();
    if (!disc) return {};
    if (config.useLocalDatabase) {
        if (auto text = localDatabaseText(config, *disc)) return std::move(*text);
    }
    CddbMatchList matches;
    const int queried = cddbQuery(config, disc->id, disc->localKey, matches, kLookupMatchCapacity);
    // When several entries match, the first in the server's order is taken without asking.
    if (queried != kResultDone || matches.empty() || !wanted) return {};
    std::string text;
    if (cddbRead(config, matches.front(), text, kLookupTextCapacity) != kResultDone) return {};
    return text;
}

struct DiscLookups::Job {
    uintptr_t number = 0;
    std::atomic<bool> wanted{true};
    std::atomic<bool> ended{false};
    LookupHandle handle;
    std::string result;
    std::thread thread;
};

DiscLookups::DiscLookups(EventSink& events, std::atomic<int32_t>& lookupActive,
                         CddbTimeouts timeouts)
    : events_(events), lookupActive_(lookupActive), timeouts_(timeouts) {}

DiscLookups::~DiscLookups() {
    for (auto& job : jobs_) job->wanted = false;
    for (auto& job : jobs_) {
        if (job->thread.joinable()) job->thread.join();
    }
}

uintptr_t DiscLookups::startDiscLookup(const CddbSettings& settings,
                                       const OpenDriveRequest& drive) {
    joinEndedJobs();
    jobs_.push_back(std::make_unique<Job>());
    Job& job = *jobs_.back();
    job.number = ++lastNumber_;
    current_ = job.number;
    lookupActive_ = 1;
    job.thread = std::thread([this, &job, settings, drive] { runJob(job, settings, drive); });
    return job.number;
}

void DiscLookups::stopDiscLookup() {
    if (lookupActive_ == 0) return;
    if (Job* job = findJob(current_)) {
        job->wanted = false;
        job->handle.stop();
    }
    current_ = 0;
    lookupActive_ = 0;
}

std::optional<std::string> DiscLookups::finishDiscLookup(uintptr_t number) {
    if (number == 0 || number != current_ || lookupActive_ == 0) return std::nullopt;
    Job* job = findJob(number);
    current_ = 0;
    lookupActive_ = 0;
    if (!job) return std::nullopt;
    const std::lock_guard lock(resultMutex_);
    return std::move(job->result);
}

void DiscLookups::runJob(Job& job, const CddbSettings& settings, const OpenDriveRequest& drive) {
    const CddbConfig config = lookupClientConfig(settings, timeouts_);
    std::string text = runDiscLookup(config, drive, job.handle, job.wanted);
    {
        const std::lock_guard lock(resultMutex_);
        job.result = std::move(text);
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
