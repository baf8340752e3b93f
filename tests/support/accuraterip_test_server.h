// An AccurateRip server on 127.0.0.1 for tests: answers every GET with the reply it was given,
// records the requests, or says nothing at all.
#pragma once

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "metadata/accuraterip_reply.h"
#include "platform/unique_fd.h"
#include "support/loopback_listener.h"

namespace lumbra::test {

// The database's bytes for these pressings.
std::string accurateRipBody(const std::vector<AccurateRipPressing>& pressings);

// "HTTP/1.0 <status> ..." with the body behind the header.
std::string httpReply(int status, const std::string& body);

class AccurateRipTestServer {
public:
    AccurateRipTestServer() = default;  // listening on a free port at once
    AccurateRipTestServer(const AccurateRipTestServer&) = delete;
    AccurateRipTestServer& operator=(const AccurateRipTestServer&) = delete;

    int port() const { return listener_.port(); }

    // What every request gets, bytes as they go out (404 until set).
    void setReply(std::string reply) {
        const std::lock_guard lock(mutex_);
        reply_ = std::move(reply);
    }
    // Reads each request and then holds the connection open without a word.
    void neverAnswer() {
        const std::lock_guard lock(mutex_);
        silent_ = true;
    }
    std::vector<std::string> requests() const {
        const std::lock_guard lock(mutex_);
        return requests_;
    }

private:
    void answer(platform::UniqueFd connection);

    mutable std::mutex mutex_;
    std::string reply_ = httpReply(404, "");
    bool silent_ = false;
    std::vector<std::string> requests_;

    std::vector<platform::UniqueFd> held_;  // the server thread's own
    // Last, so that its thread stops before anything it answers with goes.
    LoopbackListener listener_{[this](platform::UniqueFd client) { answer(std::move(client)); },
                               "AccurateRip"};
};

}  // namespace lumbra::test
