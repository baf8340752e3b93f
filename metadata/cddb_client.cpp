#include "metadata/cddb_client.h"

#include <charconv>
#include <span>

#include "cdaccess/cd_access_errors.h"
#include "metadata/cddb_reply.h"
#include "metadata/cddb_request.h"
#include "metadata/disc_id.h"
#include "metadata/local_disc_database.h"
#include "metadata/recent_disc_table.h"
#include "platform/tcp_exchange.h"
#include "platform/text_encoding.h"

namespace lumbra {
namespace {

uint32_t hexValue(std::string_view hex) {
    uint32_t value = 0;
    std::from_chars(hex.data(), hex.data() + hex.size(), value, 16);
    return value;
}

platform::TcpTimeouts tcpTimeouts(const CddbTimeouts& t) {
    return {t.resolve, t.connect, t.receive, t.exchange};
}

// A server that knows nothing may be outdone by the local database; matches it did list are
// tied to the disc's local key, so that the read that follows can file the entry under it.
void foldLocalDatabase(const CddbConfig& config, const DiscIdResult& disc, uint32_t localKey,
                       CddbMatchList& matches, size_t capacity) {
    if (matches.empty()) {
        if (capacity > 0 && hasLocalEntry(config.localDatabaseFile, localKey, disc)) {
            matches.push_back(localEntryMatch(localKey));
        }
        return;
    }
    const uint32_t trackCount = disc[1];
    const auto values = std::span<const uint32_t>(disc).subspan(2, trackCount + 1);
    for (const CddbMatch& match : matches) {
        rememberDisc(localKey, hexValue(match.discId), int(trackCount), values);
    }
}

}  // namespace

std::string postCddbRequest(const CddbConfig& config, std::string_view path, std::string_view body,
                            size_t replyCapacity) {
    const std::string& host = config.useProxy ? config.proxyHost : config.serverHost;
    const int port = config.useProxy ? config.proxyPort : config.serverPort;
    const std::string request = buildCddbRequest(config, path, body);
    CddbExchanges* exchanges = config.exchanges;
    const std::string reply = cddbReplyText(
        platform::exchangeOverTcp(host, port, request, replyCapacity, tcpTimeouts(config.timeouts),
                                  exchanges ? &exchanges->stopEvent() : nullptr));
    if (!exchanges) return reply;
    if (reply.empty() && !exchanges->stopEvent().wait(std::chrono::milliseconds(0))) {
        exchanges->noteFailure("无法连接到 " + host + ":" + std::to_string(port));
    } else if (auto refused = refusedHttpStatus(reply)) {
        exchanges->noteFailure(std::move(*refused));
    }
    return reply;
}

int cddbQuery(const CddbConfig& config, int handle, CddbMatchList& matches, size_t capacity) {
    matches.clear();
    DiscIdResult disc{};
    if (computeDiscId(handle, disc) != kResultDone) return kResultFailed;
    // Read before the exchange: a lookup stopped while it waits loses its handle, and the key
    // must still be the one of the disc that was asked for.
    const uint32_t localKey = config.useLocalDatabase ? localDiscKey(handle) : 0;
    return cddbQuery(config, disc, localKey, matches, capacity);
}

int cddbQuery(const CddbConfig& config, const DiscIdResult& disc, uint32_t localKey,
              CddbMatchList& matches, size_t capacity) {
    matches.clear();
    const std::string reply =
        postCddbRequest(config, config.queryPath, cddbQueryBody(config, disc), kQueryReplyCapacity);
    matches = parseQueryReply(reply, capacity);
    if (config.useLocalDatabase) foldLocalDatabase(config, disc, localKey, matches, capacity);
    return kResultDone;
}

int cddbRead(const CddbConfig& config, const CddbMatch& match, std::string& text, size_t capacity) {
    if (match.category == kLocalDatabaseCategory) {
        return readLocalEntry(config.localDatabaseFile, match, text, capacity);
    }
    const std::string reply =
        postCddbRequest(config, config.queryPath, cddbReadBody(config, match), capacity);
    const auto entry = parseReadReply(reply, match.category);
    if (!entry) return kResultFailed;
    text = platform::utf8Prefix(*entry, capacity > 0 ? capacity - 1 : 0);
    if (config.useLocalDatabase && !text.empty()) {
        storeLocalEntry(config.localDatabaseFile, match, text);
    }
    return kResultDone;
}

}  // namespace lumbra
