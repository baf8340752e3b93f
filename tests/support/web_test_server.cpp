#include "support/web_test_server.h"

namespace lumbra::test {
namespace {

std::string targetOf(const std::string& head) {
    const size_t start = head.find(' ') + 1;
    return head.substr(start, head.find(' ', start) - start);
}

}  // namespace

std::string webReply(int status, const std::string& body, const std::string& headers) {
    return "HTTP/1.0 " + std::to_string(status) + (status < 400 ? " OK" : " Not Found") +
           "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" + headers + "\r\n" + body;
}

std::vector<std::string> WebTestServer::targets() const {
    std::vector<std::string> out;
    for (const WebRequest& request : requests()) out.push_back(targetOf(request.head));
    return out;
}

void WebTestServer::answer(platform::UniqueFd connection) {
    const std::string head = readRequest(connection.get());
    const std::string target = targetOf(head);
    const auto [silent, reply] = [&] {
        const std::lock_guard lock(mutex_);
        requests_.push_back({head, std::chrono::steady_clock::now()});
        std::string chosen = webReply(404, "");
        size_t longest = 0;
        for (const auto& [prefix, answer] : routes_) {
            if (target.starts_with(prefix) && prefix.size() >= longest) {
                longest = prefix.size();
                chosen = answer;
            }
        }
        return std::pair(silent_, chosen);
    }();
    if (silent) {
        held_.push_back(std::move(connection));
        return;
    }
    sendAll(connection.get(), reply);
}

}  // namespace lumbra::test
