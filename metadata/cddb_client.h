// The CDDB client: which database entries match the disc in a drive ("query") and the text of
// one entry ("read"), each one HTTP exchange with a CDDB server, straight or through a proxy.
// When the configuration says so, the local disc database answers a query the server could not
// answer, and every entry read from a server is filed there.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "metadata/cddb_config.h"
#include "metadata/cddb_match.h"
#include "metadata/disc_id.h"

namespace lumbra {

// Bytes of a query's reply that are read; a longer list of matches is cut.
inline constexpr size_t kQueryReplyCapacity = 2048;

// Sends one request with `body` to the CGI at `path` and returns the reply as UTF-8 text (see
// cddbReplyText), from at most `replyCapacity` - 1 received bytes; empty when nothing came back.
std::string postCddbRequest(const CddbConfig& config, std::string_view path, std::string_view body,
                            size_t replyCapacity);

// Fills `matches` with at most `capacity` matches for the disc in the drive of `handle`, in the
// server's order. 1 once a request was attempted, whatever the answer; 4, with no matches, when
// the disc ID cannot be computed.
int cddbQuery(const CddbConfig& config, int handle, CddbMatchList& matches, size_t capacity);

// The same for a disc already identified, without a drive: `localKey` is its local disc key
// (used only with the local database). 1 once a request was attempted.
int cddbQuery(const CddbConfig& config, const DiscIdResult& disc, uint32_t localKey,
              CddbMatchList& matches, size_t capacity);

// Puts the disc information text of `match` into `text`, at most `capacity` - 1 bytes (cut at a
// character boundary). 1, or 4 when the server did not send the entry (or, for a match of the
// local database, when that has no entry).
int cddbRead(const CddbConfig& config, const CddbMatch& match, std::string& text, size_t capacity);

}  // namespace lumbra
