#include "platform/tcp_exchange.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>

#include "platform/host_lookup.h"
#include "platform/unique_fd.h"

namespace lumbra::platform {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The descriptor that a stop makes readable, or -1 (which poll passes over) without one.
int stopDescriptor(const ManualResetEvent* stop) {
    return stop && stop->isValid() ? stop->descriptor() : -1;
}

// Waits until the socket is ready for `events`. A signal does not end the wait early; the
// deadline and the stop descriptor do.
bool waitFor(int fd, short events, milliseconds timeout, int stopFd) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
        pollfd requests[] = {{fd, events, 0}, {stopFd, POLLIN, 0}};
        const int ready = ::poll(requests, 2, int(std::max<int64_t>(left.count(), 0)));
        if (ready > 0) return requests[1].revents == 0;
        if (ready == 0 || errno != EINTR || left.count() <= 0) return false;
    }
}

// Non-blocking from the start, so that every later step waits in poll with its own time-out.
UniqueFd connectWithin(const SocketAddress& peer, milliseconds timeout, int stopFd) {
    UniqueFd fd(::socket(peer.address.ss_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd) return {};
    if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&peer.address), peer.length) == 0)
        return fd;
    if (errno != EINPROGRESS || !waitFor(fd.get(), POLLOUT, timeout, stopFd)) return {};
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(fd.get(), SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) return {};
    return fd;
}

bool sendWhole(int fd, std::string_view bytes, milliseconds timeout, int stopFd) {
    while (!bytes.empty()) {
        if (!waitFor(fd, POLLOUT, timeout, stopFd)) return false;
        const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno != EAGAIN && errno != EINTR) return false;
        if (sent > 0) bytes.remove_prefix(size_t(sent));
    }
    return true;
}

// The time-out for a step, cut short by the exchange's deadline.
milliseconds within(milliseconds timeout, Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
    return std::clamp(left, milliseconds(0), timeout);
}

std::string receiveUntilClosed(int fd, size_t capacity, milliseconds timeout,
                               Clock::time_point deadline, int stopFd) {
    std::string reply;
    const size_t room = capacity > 0 ? capacity - 1 : 0;
    reply.reserve(room);
    char piece[kReceivePiece];
    while (room - reply.size() >= kReceivePiece) {
        if (!waitFor(fd, POLLIN, within(timeout, deadline), stopFd)) break;
        const ssize_t received = ::recv(fd, piece, sizeof piece, 0);
        if (received < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        if (received <= 0) break;
        reply.append(piece, size_t(received));
    }
    return reply;
}

}  // namespace

std::string exchangeOverTcp(const std::string& host, int port, std::string_view request,
                            size_t replyCapacity, const TcpTimeouts& timeouts,
                            const ManualResetEvent* stop) {
    const int stopFd = stopDescriptor(stop);
    const auto deadline = Clock::now() + timeouts.exchange;
    const auto peer = resolveFirstAddress(host, port, within(timeouts.resolve, deadline), stop);
    if (!peer) return {};
    const UniqueFd fd = connectWithin(*peer, within(timeouts.connect, deadline), stopFd);
    if (!fd) return {};
    // A server may answer and close before it has read the whole request; that answer counts.
    sendWhole(fd.get(), request, within(timeouts.receive, deadline), stopFd);
    return receiveUntilClosed(fd.get(), replyCapacity, timeouts.receive, deadline, stopFd);
}

}  // namespace lumbra::platform
