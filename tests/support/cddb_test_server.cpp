#include "support/cddb_test_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>

namespace lumbra::test {
namespace {

constexpr size_t kMaxRequestBytes = 64 * 1024;
constexpr int kRequestReadTimeoutMs = 5000;
constexpr size_t kFloodBytes = 10 * 1024 * 1024;
constexpr size_t kGarbageBytes = 4096;

constexpr std::string_view kHttpOk = "HTTP/1.0 200 OK\r\nContent-Type: text/plain; charset=UTF-8\r\n\r\n";
constexpr std::string_view kProxyRefusal =
    "HTTP/1.0 407 Proxy Authentication Required\r\nProxy-Authenticate: Basic realm=\"cddb\"\r\n"
    "Content-Type: text/html\r\n\r\n<html><body><h1>407 Proxy Authentication Required</h1></body></html>\r\n";
constexpr std::string_view kQueryCommand = "cmd=cddb+query+";
constexpr std::string_view kReadCommand = "cmd=cddb+read+";

bool sendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0) return false;
        bytes.remove_prefix(size_t(sent));
    }
    return true;
}

size_t contentLength(const std::string& headers) {
    const std::string key = "Content-Length: ";
    const size_t at = headers.find(key);
    return at == std::string::npos ? 0 : std::strtoul(headers.c_str() + at + key.size(), nullptr, 10);
}

// The whole request: headers up to the empty line, then as many body bytes as they announce.
std::string readRequest(int client) {
    std::string request;
    char chunk[4096];
    while (request.size() < kMaxRequestBytes) {
        const size_t headerEnd = request.find("\r\n\r\n");
        if (headerEnd != std::string::npos &&
            request.size() >= headerEnd + 4 + contentLength(request.substr(0, headerEnd))) {
            break;
        }
        pollfd ready{client, POLLIN, 0};
        if (::poll(&ready, 1, kRequestReadTimeoutMs) <= 0) break;
        const ssize_t n = ::recv(client, chunk, sizeof chunk, 0);
        if (n <= 0) break;
        request.append(chunk, size_t(n));
    }
    return request;
}

std::string bodyOf(const std::string& request) {
    const size_t headerEnd = request.find("\r\n\r\n");
    return headerEnd == std::string::npos ? std::string() : request.substr(headerEnd + 4);
}

std::string matchLine(const CddbTestEntry& entry) {
    return entry.category + " " + entry.discId + " " + entry.artist + " / " + entry.title + "\r\n";
}

std::string garbage() {
    std::string bytes(kGarbageBytes, '\0');
    uint32_t state = 12345;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = char(state >> 16);
    }
    return bytes;
}

void flood(int client, std::string_view start, std::string_view line) {
    if (!sendAll(client, start)) return;
    std::string block;
    while (block.size() < 64 * 1024) block += line;
    for (size_t sent = 0; sent < kFloodBytes; sent += block.size()) {
        if (!sendAll(client, block)) return;
    }
}

}  // namespace

CddbTestServer::CddbTestServer() {
    listener_ = platform::UniqueFd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int wake[2];
    if (!listener_ || ::bind(listener_.get(), reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_.get(), 8) != 0 ||
        ::getsockname(listener_.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        ::pipe2(wake, O_CLOEXEC) != 0) {
        throw std::runtime_error("the test CDDB server cannot listen");
    }
    wakeRead_ = platform::UniqueFd(wake[0]);
    wakeWrite_ = platform::UniqueFd(wake[1]);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
}

CddbTestServer::~CddbTestServer() {
    const char stop = 1;
    [[maybe_unused]] const ssize_t woken = ::write(wakeWrite_.get(), &stop, 1);
    thread_.join();
}

void CddbTestServer::addEntry(CddbTestEntry entry) {
    const std::lock_guard lock(mutex_);
    entries_.push_back(std::move(entry));
}

void CddbTestServer::answerQueriesWith(std::string statusLine) {
    const std::lock_guard lock(mutex_);
    queryStatus_ = std::move(statusLine);
}

void CddbTestServer::setBehaviour(ServerBehaviour behaviour) {
    const std::lock_guard lock(mutex_);
    behaviour_ = behaviour;
}

void CddbTestServer::delayAnswers(std::chrono::milliseconds delay) {
    const std::lock_guard lock(mutex_);
    delay_ = delay;
}

void CddbTestServer::demandProxyAuthorization(std::string headerValue) {
    const std::lock_guard lock(mutex_);
    proxyAuthorization_ = std::move(headerValue);
}

std::vector<std::string> CddbTestServer::requests() const {
    const std::lock_guard lock(mutex_);
    return requests_;
}

void CddbTestServer::serve() {
    for (;;) {
        pollfd ready[2] = {{listener_.get(), POLLIN, 0}, {wakeRead_.get(), POLLIN, 0}};
        if (::poll(ready, 2, -1) < 0 && errno != EINTR) return;
        if (ready[1].revents) return;
        if (!(ready[0].revents & POLLIN)) continue;
        const platform::UniqueFd client(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (client) answer(client.get());
    }
}

void CddbTestServer::answer(int client) {
    const std::string request = readRequest(client);
    ServerBehaviour behaviour;
    std::chrono::milliseconds delay;
    {
        const std::lock_guard lock(mutex_);
        requests_.push_back(request);
        behaviour = behaviour_;
        delay = delay_;
    }
    if (!waitUnlessStopped(delay)) return;
    const std::string reply = replyTo(request);
    const bool isQuery = bodyOf(request).starts_with(kQueryCommand);
    switch (behaviour) {
        case ServerBehaviour::Answer:
            sendAll(client, reply);
            break;
        case ServerBehaviour::NeverAnswer:
            holdOpen(client);
            break;
        case ServerBehaviour::CloseMidReply:
            sendAll(client, std::string_view(reply).substr(0, reply.size() / 2));
            break;
        case ServerBehaviour::Flood:
            flood(client, std::string(kHttpOk) + (isQuery ? "211 Found inexact matches\r\n" : "210 rock 1 entry\r\n"),
                  isQuery ? "rock 0200b201 Endless Artist / Endless Title\r\n" : "TTITLE0=Endless\r\n");
            break;
        case ServerBehaviour::Garbage:
            sendAll(client, std::string(kHttpOk) + garbage());
            break;
    }
}

std::string CddbTestServer::replyTo(const std::string& request) const {
    const std::lock_guard lock(mutex_);
    if (proxyAuthorization_ &&
        request.find("\r\nProxy-Authorization: " + *proxyAuthorization_ + "\r\n") == std::string::npos) {
        return std::string(kProxyRefusal);
    }
    const std::string body = bodyOf(request);
    if (body.starts_with(kQueryCommand)) {
        if (queryStatus_) return std::string(kHttpOk) + *queryStatus_ + "\r\n";
        if (entries_.empty()) return std::string(kHttpOk) + "202 No match found.\r\n";
        if (entries_.size() == 1) return std::string(kHttpOk) + "200 " + matchLine(entries_[0]);
        std::string list = std::string(kHttpOk) + "211 Found inexact matches, list follows (until terminating `.')\r\n";
        for (const auto& entry : entries_) list += matchLine(entry);
        return list + ".\r\n";
    }
    if (body.starts_with(kReadCommand)) {
        const std::string wanted = body.substr(kReadCommand.size(), body.find('&') - kReadCommand.size());
        for (const auto& entry : entries_) {
            if (wanted != entry.category + "+" + entry.discId) continue;
            return std::string(kHttpOk) + "210 " + entry.category + " " + entry.discId +
                   " CD database entry follows (until terminating `.')\r\n" + entry.text + ".\r\n";
        }
        return std::string(kHttpOk) + "401 No such CD entry in database.\r\n";
    }
    return std::string(kHttpOk) + "500 Unrecognized command.\r\n";
}

// False when the server is stopped meanwhile.
bool CddbTestServer::waitUnlessStopped(std::chrono::milliseconds delay) const {
    if (delay.count() == 0) return true;
    pollfd stop{wakeRead_.get(), POLLIN, 0};
    return ::poll(&stop, 1, int(delay.count())) == 0;
}

// Until the client gives up (or the server stops): the peer that never answers.
void CddbTestServer::holdOpen(int client) const {
    for (;;) {
        pollfd ready[2] = {{client, POLLIN, 0}, {wakeRead_.get(), POLLIN, 0}};
        if (::poll(ready, 2, -1) < 0 && errno != EINTR) return;
        if (ready[1].revents) return;
        char ignored[256];
        if ((ready[0].revents & POLLIN) && ::recv(client, ignored, sizeof ignored, 0) <= 0) return;
        if (ready[0].revents & (POLLHUP | POLLERR)) return;
    }
}

}  // namespace lumbra::test
