// A web server on 127.0.0.1 for tests: answers each GET with the reply of the longest path prefix
// it was given (404 otherwise), records the requests and when they came, or says nothing.
#pragma once

#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/unique_fd.h"
#include "support/loopback_listener.h"

namespace lumbra::test {

// "HTTP/1.0 <status>" with these extra header lines ("Name: value\r\n" each) and the body.
std::string webReply(int status, const std::string& body, const std::string& headers = "");

struct WebRequest {
    std::string head;  // request line and header lines
    std::chrono::steady_clock::time_point arrived;
};

class WebTestServer {
public:
    WebTestServer() = default;  // listening on a free port at once
    WebTestServer(const WebTestServer&) = delete;
    WebTestServer& operator=(const WebTestServer&) = delete;

    int port() const { return listener_.port(); }
    std::string base() const { return "127.0.0.1:" + std::to_string(listener_.port()); }

    void route(const std::string& pathPrefix, std::string reply) {
        const std::lock_guard lock(mutex_);
        routes_[pathPrefix] = std::move(reply);
    }
    // Reads each request and then holds the connection open without a word.
    void neverAnswer() {
        const std::lock_guard lock(mutex_);
        silent_ = true;
    }
    std::vector<WebRequest> requests() const {
        const std::lock_guard lock(mutex_);
        return requests_;
    }
    // The request targets in order.
    std::vector<std::string> targets() const;

private:
    void answer(platform::UniqueFd connection);

    mutable std::mutex mutex_;
    std::map<std::string, std::string> routes_;
    bool silent_ = false;
    std::vector<WebRequest> requests_;

    std::vector<platform::UniqueFd> held_;  // the server thread's own
    // Last, so that its thread stops before anything it answers with goes.
    LoopbackListener listener_{[this](platform::UniqueFd client) { answer(std::move(client)); },
                               "web"};
};

}  // namespace lumbra::test
