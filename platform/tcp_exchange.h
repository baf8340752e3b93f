// One TCP exchange: connect, send a request, read the answer until the peer closes. Every step has
// a time-out and the whole exchange a deadline; either, expired, ends the exchange like a failed
// one, keeping what was received.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

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
// the host does not resolve, the connection fails or nothing came back.
std::string exchangeOverTcp(const std::string& host, int port, std::string_view request,
                            size_t replyCapacity, const TcpTimeouts& timeouts);

}  // namespace lumbra::platform
