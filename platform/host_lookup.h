// Resolving a server's name with a time-out, which the system resolver does not offer.
#pragma once

#include <sys/socket.h>

#include <chrono>
#include <optional>
#include <string>

#include "platform/manual_reset_event.h"

namespace lumbra::platform {

struct SocketAddress {
    sockaddr_storage address{};
    socklen_t length = 0;
};

// The first address of `host` (a name, or a numeric IPv4 or IPv6 address) with `port`, or
// nullopt when it does not resolve within `timeout`, or before `stop` (when not null) is set.
std::optional<SocketAddress> resolveFirstAddress(const std::string& host, int port,
                                                 std::chrono::milliseconds timeout,
                                                 const ManualResetEvent* stop = nullptr);

}  // namespace lumbra::platform
