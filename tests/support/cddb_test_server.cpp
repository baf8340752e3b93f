#include "support/cddb_test_server.h"

namespace lumbra::test {
namespace {

using namespace std::chrono_literals;

constexpr std::string_view kHttpOk =
    "HTTP/1.0 200 OK\r\nContent-Type: text/plain; charset=UTF-8\r\n\r\n";
constexpr std::string_view kHttpHeaderRest = "\r\nContent-Type: text/plain; charset=UTF-8\r\n\r\n";
constexpr std::string_view kQueryCommand = "cmd=cddb+query+";
constexpr std::string_view kReadCommand = "cmd=cddb+read+";

std::string matchLine(const CddbTestEntry& entry) {
    return entry.category + " " + entry.discId + " " + entry.artist + " / " + entry.title + "\r\n";
}

}  // namespace

void CddbTestServer::answer(platform::UniqueFd connection) {
    const int client = connection.get();
    const std::string request = readRequest(client);
    const auto [behaviour, delay] = [&] {
        const std::lock_guard lock(mutex_);
        requests_.push_back(request);
        return std::pair(behaviour_, delay_);
    }();
    std::this_thread::sleep_for(delay);
    const std::string reply = replyTo(request);
    const bool isQuery = request.find("\r\n\r\n" + std::string(kQueryCommand)) != std::string::npos;
    switch (behaviour) {
        case ServerBehaviour::Answer:
            sendAll(client, reply);
            break;
        case ServerBehaviour::NeverAnswer:  // the connection stays open as long as the server
            held_.push_back(std::move(connection));
            break;
        case ServerBehaviour::CloseMidReply:
            sendAll(client, std::string_view(reply).substr(0, reply.size() / 2));
            break;
        case ServerBehaviour::Trickle:
            for (size_t i = 0; i < reply.size() && sendAll(client, reply.substr(i, 1)); ++i)
                std::this_thread::sleep_for(50ms);
            break;
        case ServerBehaviour::Flood: {
            std::string block;
            while (block.size() < 64 * 1024)
                block += isQuery ? "rock 0200b201 Endless Artist / Endless Title\r\n"
                                 : "TTITLE0=Endless\r\n";
            bool open =
                sendAll(client, std::string(kHttpOk) + (isQuery ? "211 Found inexact matches\r\n"
                                                                : "210 rock 1 entry\r\n"));
            for (size_t sent = 0; open && sent < 10 * 1024 * 1024; sent += block.size())
                open = sendAll(client, block);
            break;
        }
    }
}

std::string CddbTestServer::replyTo(const std::string& request) const {
    const std::lock_guard lock(mutex_);
    const size_t headerEnd = request.find("\r\n\r\n");
    const std::string body = headerEnd == std::string::npos ? "" : request.substr(headerEnd + 4);
    std::string reply = statusLine_ + std::string(kHttpHeaderRest);
    if (body.starts_with(kQueryCommand)) {
        if (entries_.empty()) return reply + "202 No match found.\r\n";
        if (entries_.size() == 1) return reply + "200 " + matchLine(entries_[0]);
        reply += "211 Found inexact matches, list follows (until terminating `.')\r\n";
        for (const auto& entry : entries_) reply += matchLine(entry);
        return reply + ".\r\n";
    }
    if (!body.starts_with(kReadCommand)) return reply + "500 Unrecognized command.\r\n";
    const std::string wanted =
        body.substr(kReadCommand.size(), body.find('&') - kReadCommand.size());
    for (const auto& entry : entries_) {
        if (wanted == entry.category + "+" + entry.discId)
            return reply + "210 " + entry.category + " " + entry.discId +
                   " CD database entry follows (until terminating `.')\r\n" + entry.text + ".\r\n";
    }
    return reply + "401 No such CD entry in database.\r\n";
}

}  // namespace lumbra::test
