// An AccurateRip server on 127.0.0.1 for tests: the web server answering every GET with the one
// reply it was given.
#pragma once

#include <string>
#include <vector>

#include "metadata/accuraterip_reply.h"
#include "support/web_test_server.h"

namespace lumbra::test {

// The database's bytes for these pressings.
std::string accurateRipBody(const std::vector<AccurateRipPressing>& pressings);

// "HTTP/1.0 <status> ..." with the database's content type and the body behind the header.
inline std::string httpReply(int status, const std::string& body) {
    return webReply(status, body, "Content-Type: application/octet-stream\r\n");
}

class AccurateRipTestServer : public WebTestServer {
public:
    // What every request gets, bytes as they go out (404 until set).
    void setReply(std::string reply) { route("", std::move(reply)); }
    // The requests' heads in order.
    std::vector<std::string> requests() const {
        std::vector<std::string> heads;
        for (const WebRequest& request : WebTestServer::requests()) heads.push_back(request.head);
        return heads;
    }
};

}  // namespace lumbra::test
