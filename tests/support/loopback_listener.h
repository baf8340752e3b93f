// A listening socket on a free loopback port, and the thread that hands each connection to the
// test server that owns it, one at a time, until the listener is destroyed.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>

#include "platform/unique_fd.h"

namespace lumbra::test {

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
