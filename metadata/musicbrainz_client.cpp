#include "metadata/musicbrainz_client.h"

#include <mutex>
#include <thread>

#include "metadata/cover_store.h"

namespace lumbra {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The service's rule for every client: on average one request a second, or it refuses them all.
constexpr auto kRequestGap = 1000ms;
constexpr auto kTurnPoll = 20ms;

// One web service exchange at a time in the whole program, each a full gap after the end of the
// one before, so that however the lookups overlap the service never sees two within a second.
class ServicePacer {
public:
    platform::HttpReply get(const std::string& url, const platform::HttpGetOptions& options) {
        // A plain mutex polled between waits for the stop: a timed mutex's timed lock is one
        // that ThreadSanitizer cannot see, so it reports every unlock of it.
        std::unique_lock turn(mutex_, std::defer_lock);
        while (!turn.try_lock()) {
            if (stopped(options, kTurnPoll)) return stoppedReply();
        }
        // Waits may end a fraction of a millisecond early; the gap is a promise.
        for (auto wait = lastEnd_ + kRequestGap - Clock::now(); wait > 0ms;
             wait = lastEnd_ + kRequestGap - Clock::now()) {
            if (stopped(options, std::chrono::ceil<std::chrono::milliseconds>(wait))) {
                return stoppedReply();
            }
        }
        platform::HttpReply reply = platform::httpGet(url, options);
        lastEnd_ = Clock::now();
        return reply;
    }

private:
    // Waits up to `wait` for the stop; true when it came.
    static bool stopped(const platform::HttpGetOptions& options, std::chrono::milliseconds wait) {
        if (options.stop && options.stop->isValid()) return options.stop->wait(wait);
        std::this_thread::sleep_for(wait);
        return false;
    }
    static platform::HttpReply stoppedReply() {
        platform::HttpReply reply;
        reply.outcome = platform::HttpOutcome::Stopped;
        return reply;
    }

    std::mutex mutex_;
    Clock::time_point lastEnd_{};
};

ServicePacer& servicePacer() {
    static ServicePacer pacer;
    return pacer;
}

std::string origin(bool tls, const std::string& host, int port) {
    return std::string(tls ? "https://" : "http://") + host + ":" + std::to_string(port);
}

platform::HttpGetOptions optionsFor(const MusicBrainzConfig& config, size_t sizeLimit) {
    platform::HttpGetOptions options = config.http;
    options.userAgent = musicBrainzUserAgent();
    options.sizeLimit = sizeLimit;
    return options;
}

enum class Answer { Releases, Unknown, Failed };

Answer ask(const MusicBrainzConfig& config, const std::string& url, const std::string& discId,
           int trackCount, std::vector<MusicBrainzRelease>& releases) {
    const platform::HttpReply reply =
        servicePacer().get(url, optionsFor(config, kMusicBrainzReplyLimit));
    if (reply.outcome != platform::HttpOutcome::Received) return Answer::Failed;
    if (reply.status == 404) return Answer::Unknown;
    if (reply.status != 200) return Answer::Failed;
    releases = parseMusicBrainzReply(reply.body, discId, trackCount);
    return releases.empty() ? Answer::Unknown : Answer::Releases;
}

}  // namespace

std::string musicBrainzUserAgent() {
    return "LumbraCDRipper/" LUMBRA_VERSION " ( https://lumbra.org/ )";
}

std::vector<MusicBrainzRelease> lookUpMusicBrainz(const MusicBrainzConfig& config,
                                                  const MusicBrainzToc& toc) {
    std::vector<MusicBrainzRelease> releases;
    const std::string discId = musicBrainzDiscId(toc);
    const int trackCount = int(toc.offsets.size());
    const std::string url = origin(config.tls, config.server, config.port) + "/ws/2/discid/" +
                            discId + "?inc=artist-credits+recordings+genres&fmt=json";
    if (ask(config, url, discId, trackCount, releases) != Answer::Unknown) return releases;
    // An unknown ID may still be a release whose disc was filed with a slightly other table.
    const std::string fuzzy = url + "&cdstubs=no&toc=" + musicBrainzTocParameter(toc);
    ask(config, fuzzy, discId, trackCount, releases);
    return releases;
}

std::string fetchFrontCover(const MusicBrainzConfig& config, const std::string& releaseId) {
    if (releaseId.empty()) return {};
    const std::string url = origin(config.coverTls, config.coverServer, config.coverPort) +
                            "/release/" + platform::urlEncoded(releaseId) + "/front-500";
    platform::HttpReply reply = platform::httpGet(url, optionsFor(config, kCoverArtLimit));
    const bool received = reply.outcome == platform::HttpOutcome::Received && reply.status == 200;
    return received && isCoverImage(reply.body) ? std::move(reply.body) : std::string();
}

}  // namespace lumbra
