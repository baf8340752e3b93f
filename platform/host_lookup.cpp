#include "platform/host_lookup.h"

#include <netdb.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace lumbra::platform {
namespace {

struct AddressListDeleter {
    void operator()(addrinfo* list) const { freeaddrinfo(list); }
};

std::optional<SocketAddress> lookUp(const std::string& host, const std::string& service,
                                    int flags) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = flags;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0 || !found)
        return std::nullopt;
    const std::unique_ptr<addrinfo, AddressListDeleter> list(found);
    if (list->ai_addrlen > sizeof(sockaddr_storage)) return std::nullopt;
    SocketAddress first;
    std::memcpy(&first.address, list->ai_addr, list->ai_addrlen);
    first.length = list->ai_addrlen;
    return first;
}

constexpr std::chrono::milliseconds kStopCheck{50};

// Shared by the waiting caller and the resolving thread; whichever lets go last frees it.
struct PendingLookup {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::optional<SocketAddress> address;
};

}  // namespace

std::optional<SocketAddress> resolveFirstAddress(const std::string& host, int port,
                                                 std::chrono::milliseconds timeout,
                                                 const ManualResetEvent* stop) {
    if (host.empty()) return std::nullopt;
    const std::string service = std::to_string(port);
    if (auto numeric = lookUp(host, service, AI_NUMERICHOST)) return numeric;

    // getaddrinfo cannot be interrupted, so the name is looked up on a thread of its own that
    // the caller stops waiting for. That thread owns copies of everything it touches and ends
    // when the system resolver gives up by itself.
    auto pending = std::make_shared<PendingLookup>();
    try {
        std::thread([pending, host, service] {
            auto address = lookUp(host, service, 0);
            const std::lock_guard lock(pending->mutex);
            pending->address = address;
            pending->done = true;
            pending->finished.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        return std::nullopt;
    }
    // The resolver cannot signal the stop's descriptor, so the stop is looked at now and then.
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::unique_lock lock(pending->mutex);
    while (!pending->done && std::chrono::steady_clock::now() < deadline) {
        if (stop && stop->wait(std::chrono::milliseconds(0))) return std::nullopt;
        pending->finished.wait_for(lock, std::min(kStopCheck, timeout));
    }
    if (!pending->done) return std::nullopt;
    return pending->address;
}

}  // namespace lumbra::platform
