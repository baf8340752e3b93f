// A CDDB server on 127.0.0.1 for tests: answers "cddb query" and "cddb read" commands sent as
// HTTP POSTs from fixture entries, records every request and can misbehave on purpose.
#pragma once

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/unique_fd.h"
#include "support/loopback_listener.h"

namespace lumbra::test {

struct CddbTestEntry {
    std::string category;
    std::string discId;
    std::string artist;  // as the match line lists it
    std::string title;
    std::string text;  // the entry's lines, each ended by CR LF, without the closing "."
};

enum class ServerBehaviour {
    Answer,
    NeverAnswer,    // reads the request, then holds the connection open without a word
    CloseMidReply,  // sends half of the answer, then closes
    Trickle,        // sends the answer a byte every 50 ms
    Flood,          // sends 10 MB of match or entry lines
};

class CddbTestServer {
    auto locked(auto change) const {
        const std::lock_guard lock(mutex_);
        return change();
    }

public:
    CddbTestServer() = default;  // listening on a free port at once
    CddbTestServer(const CddbTestServer&) = delete;
    CddbTestServer& operator=(const CddbTestServer&) = delete;

    int port() const { return listener_.port(); }

    // Queries list the entries in the order added: 202 without any, 200 for one, 211 for more.
    void addEntry(CddbTestEntry entry) {
        locked([&] { entries_.push_back(std::move(entry)); });
    }
    void setBehaviour(ServerBehaviour behaviour) {
        locked([&] { behaviour_ = behaviour; });
    }
    // The HTTP status line of every answer, "HTTP/1.0 200 OK" unless set.
    void setStatusLine(std::string line) {
        locked([&] { statusLine_ = std::move(line); });
    }
    // Each answer waits this long before it is sent.
    void delayAnswers(std::chrono::milliseconds delay) {
        locked([&] { delay_ = delay; });
    }
    std::vector<std::string> requests() const {
        return locked([&] { return requests_; });
    }

private:
    void answer(platform::UniqueFd connection);
    std::string replyTo(const std::string& request) const;

    mutable std::mutex mutex_;
    std::vector<CddbTestEntry> entries_;
    ServerBehaviour behaviour_ = ServerBehaviour::Answer;
    std::chrono::milliseconds delay_{0};
    std::string statusLine_ = "HTTP/1.0 200 OK";
    std::vector<std::string> requests_;

    std::vector<platform::UniqueFd> held_;  // the server thread's own
    // Last, so that its thread stops before anything it answers with goes.
    LoopbackListener listener_{[this](platform::UniqueFd client) { answer(std::move(client)); },
                               "CDDB"};
};

}  // namespace lumbra::test
