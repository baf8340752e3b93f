// One TCP exchange with a CDDB server or proxy: connect, send a request, read the answer until
// the peer closes. Every step has a time-out and the whole exchange a deadline; either, expired,
// ends the exchange like a failed one, keeping what was received.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "metadata/cddb_config.h"

namespace lumbra {

// Bytes asked for by each receive.
inline constexpr size_t kReceivePiece = 128;

// What `host`:`port` answered to `request`, at most `replyCapacity` - 1 bytes: receiving stops
// once fewer than kReceivePiece bytes of that room are left, and the rest is not read. Empty when
// the host does not resolve, the connection fails or nothing came back.
std::string exchangeOverTcp(const std::string& host, int port, std::string_view request,
                            size_t replyCapacity, const CddbTimeouts& timeouts);

}  // namespace lumbra
