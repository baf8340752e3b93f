// A listening socket on a free loopback port, and the thread that hands each connection to the
// test server that owns it, one at a time, until the listener is destroyed; reading a request
// and sending a reply over such a connection.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>

#include "platform/unique_fd.h"

namespace lumbra::test {

// False once the peer has gone.
inline bool sendAll(int fd, std::string_view bytes) {
    for (ssize_t sent = 0; !bytes.empty(); bytes.remove_prefix(size_t(sent))) {
        if ((sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL)) <= 0) return false;
    }
    return true;
}

// The whole request: headers up to the empty line, then as many body bytes as they announce.
// Gives up after 5 s of silence or 64 KiB.
inline std::string readRequest(int client) {
    std::string request;
    pollfd readable{client, POLLIN, 0};
    for (char chunk[4096]; request.size() < 64 * 1024;) {
        const size_t end = request.find("\r\n\r\n");
        const size_t length = request.find("Content-Length: ");
        if (end != std::string::npos &&
            request.size() >=
                end + 4 + (length < end ? std::strtoul(&request[length + 16], nullptr, 10) : 0))
            break;
        const ssize_t n =
            ::poll(&readable, 1, 5000) > 0 ? ::recv(client, chunk, sizeof chunk, 0) : 0;
        if (n <= 0) break;
        request.append(chunk, size_t(n));
    }
    return request;
}

class LoopbackListener {
public:
    // `what` names the server in the error thrown when it cannot listen.
    LoopbackListener(std::function<void(platform::UniqueFd)> answer, const std::string& what) {
        listener_ = platform::UniqueFd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
        sockaddr_in address{.sin_family = AF_INET,
                            .sin_port = 0,
                            .sin_addr = {htonl(INADDR_LOOPBACK)},
                            .sin_zero = {}};
        socklen_t length = sizeof address;
        if (!listener_ ||
            ::bind(listener_.get(), reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(listener_.get(), 8) != 0 ||
            ::getsockname(listener_.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            throw std::runtime_error("the test " + what + " server cannot listen");
        }
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this, answer = std::move(answer)] {
            for (;;) {
                const int client = ::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC);
                if (client >= 0) answer(platform::UniqueFd(client));
                if (client < 0 && errno == EINVAL) break;  // the destructor shut the listener down
            }
        });
    }
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;
    ~LoopbackListener() {
        ::shutdown(listener_.get(), SHUT_RDWR);
        thread_.join();
    }

    int port() const { return port_; }

private:
    platform::UniqueFd listener_;
    int port_ = 0;
    std::thread thread_;
};

}  // namespace lumbra::test
