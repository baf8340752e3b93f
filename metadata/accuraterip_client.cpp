#include "metadata/accuraterip_client.h"

#include "metadata/cddb_base64.h"
#include "platform/atomic_file.h"
#include "platform/folders.h"
#include "platform/tcp_exchange.h"

namespace lumbra {
namespace {

constexpr int kDefaultHttpPort = 80;
constexpr int kStatusOk = 200;
constexpr int kStatusNotFound = 404;
// A popular disc has some dozens of pressings of under a kilobyte each; anything longer is cut,
// keeping the blocks that arrived whole.
constexpr size_t kReplyCapacity = size_t(1) << 20;

std::string serverAuthority(const AccurateRipConfig& config) {
    if (config.serverPort == kDefaultHttpPort) return config.serverHost;
    return config.serverHost + ":" + std::to_string(config.serverPort);
}

std::string exchange(const AccurateRipConfig& config, const AccurateRipDiscId& disc) {
    const std::string& host = config.useProxy ? config.proxyHost : config.serverHost;
    const int port = config.useProxy ? config.proxyPort : config.serverPort;
    const CddbTimeouts& t = config.timeouts;
    return platform::exchangeOverTcp(host, port, accurateRipRequest(config, disc), kReplyCapacity,
                                     {t.resolve, t.connect, t.receive, t.exchange}, config.stop);
}

AccurateRipLookup fromCache(const AccurateRipConfig& config, const AccurateRipDiscId& disc) {
    if (config.cacheFolder.empty()) return {};
    const auto body = platform::readWholeFile(accurateRipCachePath(config, disc));
    if (!body) return {};
    return lookupFromReply(parseAccurateRipReply(*body), disc);
}

// Only a reply that holds the disc is kept: a broken one must not replace a good one.
void store(const AccurateRipConfig& config, const AccurateRipDiscId& disc, std::string_view body) {
    if (config.cacheFolder.empty()) return;
    // The local disc database's folder is made by its first lookup, which may not have been.
    const size_t slash = config.cacheFolder.find_last_of('/');
    if (slash != std::string::npos && slash > 0) {
        platform::ensureFolder(config.cacheFolder.substr(0, slash));
    }
    platform::ensureFolder(config.cacheFolder);
    platform::replaceFileAtomically(accurateRipCachePath(config, disc), body);
}

}  // namespace

std::string accurateRipRequest(const AccurateRipConfig& config, const AccurateRipDiscId& disc) {
    const std::string path = accurateRipPath(disc);
    const std::string target = config.useProxy ? "http://" + serverAuthority(config) + path : path;
    std::string request = "GET " + target + " HTTP/1.0\r\n";
    request += "Host: " + serverAuthority(config) + "\r\n";
    request += "User-Agent: Lumbra-CD-Ripper\r\n";
    if (config.useProxy && !config.proxyCredentials.empty()) {
        request += "Proxy-Authorization: Basic " + encodeBase64(config.proxyCredentials) + "\r\n";
    }
    return request + "\r\n";
}

std::string accurateRipCachePath(const AccurateRipConfig& config, const AccurateRipDiscId& disc) {
    return config.cacheFolder + "/dBAR-" + accurateRipIdText(disc) + ".bin";
}

AccurateRipLookup fetchAccurateRip(const AccurateRipConfig& config, const AccurateRipDiscId& disc) {
    const std::string reply = exchange(config, disc);
    const auto http = splitHttpReply(reply);
    if (http && http->status == kStatusNotFound) {
        return {AccurateRipLookup::Outcome::NotInDatabase, {}};
    }
    if (http && http->status == kStatusOk) {
        AccurateRipLookup lookup = lookupFromReply(parseAccurateRipReply(http->body), disc);
        if (lookup.outcome == AccurateRipLookup::Outcome::Found) {
            store(config, disc, http->body);
            return lookup;
        }
    }
    return fromCache(config, disc);
}

}  // namespace lumbra
