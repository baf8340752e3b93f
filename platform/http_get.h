// One HTTP(S) GET through libcurl: TLS, redirects and proxies are its, limits and stops ours.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

#include "platform/manual_reset_event.h"

namespace lumbra::platform {

struct HttpGetOptions {
    std::chrono::milliseconds connect{10000};  // resolving the name included
    std::chrono::milliseconds stall{30000};    // no byte for this long ends the exchange
    std::chrono::milliseconds total{60000};    // the whole exchange, redirects included
    size_t sizeLimit = 1 << 20;                // a longer body ends the exchange
    std::string proxyHost;                     // empty: straight to the server
    int proxyPort = 0;
    std::string proxyCredentials;  // "user:password", empty for none
    std::string userAgent;
    std::string caFile;  // certificates to trust instead of the system's; empty for the system's
    int maxRedirects = 5;
    const ManualResetEvent* stop = nullptr;  // set from another thread: the exchange ends at once
};

enum class HttpOutcome { Received, Failed, TooLarge, Stopped };

struct HttpReply {
    HttpOutcome outcome = HttpOutcome::Failed;
    long status = 0;    // of the last response, after redirects; 0 when none came
    std::string body;   // empty unless received
    std::string error;  // why it failed, for the log
};

// GETs `url` (http or https only, also after a redirect). Never throws.
HttpReply httpGet(const std::string& url, const HttpGetOptions& options);

// `text` with every byte other than unreserved URL characters percent-encoded.
std::string urlEncoded(const std::string& text);

}  // namespace lumbra::platform
