#include "support/accuraterip_test_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <stdexcept>

namespace lumbra::test {
namespace {

void sendAll(int fd, std::string_view bytes) {
    for (ssize_t sent = 0; !bytes.empty(); bytes.remove_prefix(size_t(sent))) {
        if ((sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL)) <= 0) return;
    }
}

std::string readRequest(int client) {
    std::string request;
    pollfd readable{client, POLLIN, 0};
    for (char chunk[4096]; request.find("\r\n\r\n") == std::string::npos;) {
        const ssize_t n =
            ::poll(&readable, 1, 5000) > 0 ? ::recv(client, chunk, sizeof chunk, 0) : 0;
        if (n <= 0) break;
        request.append(chunk, size_t(n));
    }
    return request;
}

void putWord(std::string& bytes, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) bytes += char(value >> shift & 0xFF);
}

}  // namespace

std::string accurateRipBody(const std::vector<AccurateRipPressing>& pressings) {
    std::string bytes;
    for (const AccurateRipPressing& p : pressings) {
        bytes += char(p.tracks.size());
        putWord(bytes, p.id.id1);
        putWord(bytes, p.id.id2);
        putWord(bytes, p.id.cddb);
        for (const AccurateRipTrack& t : p.tracks) {
            bytes += char(t.confidence);
            putWord(bytes, t.checksum);
            putWord(bytes, t.frame450);
        }
    }
    return bytes;
}

std::string httpReply(int status, const std::string& body) {
    return "HTTP/1.0 " + std::to_string(status) + (status == 200 ? " OK" : " Not Found") +
           "\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\n\r\n" + body;
}

void AccurateRipTestServer::answer(platform::UniqueFd connection) {
    const std::string request = readRequest(connection.get());
    const auto [silent, reply] = [&] {
        const std::lock_guard lock(mutex_);
        requests_.push_back(request);
        return std::pair(silent_, reply_);
    }();
    if (silent) {
        held_.push_back(std::move(connection));
        return;
    }
    sendAll(connection.get(), reply);
}

}  // namespace lumbra::test
