// One TCP exchange: connect, send a request, read the answer until the peer closes. Every step has
// a time-out and the whole exchange a deadline; either, expired, ends the exchange like a failed
// one, keeping what was received. So does a stop event, set from another thread, at once.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/manual_reset_event.h"

namespace lumbra::platform {

struct TcpTimeouts {
    std::chrono::milliseconds resolve;
    std::chrono::milliseconds connect;
    std::chrono::milliseconds receive;   // for each single receive
    std::chrono::milliseconds exchange;  // for the whole exchange
};

// Bytes asked for by each receive.
inline constexpr size_t kReceivePiece = 128;

// What `host`:`port` answered to `request`, at most `replyCapacity` - 1 bytes: receiving stops
// once fewer than kReceivePiece bytes of that room are left, and the rest is not read. Empty when
// the host does not resolve, the connection fails or nothing came back. A set `stop` (when not
// null) ends every wait of the exchange.
std::string exchangeOverTcp(const std::string& host, int port, std::string_view request,
                            size_t replyCapacity, const TcpTimeouts& timeouts,
                            const ManualResetEvent* stop = nullptr);

}  // namespace lumbra::platform
