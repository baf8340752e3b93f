// The AccurateRip database client: one HTTP GET for a disc's pressings, straight to the server
// or through the proxy, with the CDDB client's time-outs. Every good reply is kept in a cache
// folder, which answers when the server cannot be reached, so a disc once looked up is verified
// offline too.
#pragma once

#include <string>

#include "metadata/accuraterip_verdict.h"
#include "metadata/cddb_config.h"
#include "platform/manual_reset_event.h"

namespace lumbra {

struct AccurateRipConfig {
    std::string serverHost = "www.accuraterip.com";
    int serverPort = 80;
    bool useProxy = false;
    std::string proxyHost;
    int proxyPort = 0;
    std::string proxyCredentials;  // "user:password", empty for none
    CddbTimeouts timeouts;
    std::string cacheFolder;  // native path; empty: no cache
    // Set from another thread, it ends the exchange at once (as an unreachable server); may be
    // null. It must outlive every fetch with this configuration.
    const platform::ManualResetEvent* stop = nullptr;
};

// The whole GET request for the disc's reply.
std::string accurateRipRequest(const AccurateRipConfig& config, const AccurateRipDiscId& disc);

// The cache file of a disc inside the configuration's cache folder.
std::string accurateRipCachePath(const AccurateRipConfig& config, const AccurateRipDiscId& disc);

// Asks the server about the disc; never throws and returns within the time-outs. A 404 is
// NotInDatabase; no answer, another status or a reply without a block of this disc falls back to
// the cache, else Unavailable.
AccurateRipLookup fetchAccurateRip(const AccurateRipConfig& config, const AccurateRipDiscId& disc);

}  // namespace lumbra
