#include "metadata/cddb_request.h"

#include <algorithm>

namespace lumbra {
namespace {

constexpr int kDefaultHttpPort = 80;

// Form encoding has no room for blanks, and an address must reach the server as two words.
std::string withPlusSigns(std::string text, size_t from) {
    for (size_t i = from; i < text.size(); ++i) {
        if (text[i] == '@' || text[i] == ' ') text[i] = '+';
    }
    return text;
}

std::string helloPart(const CddbConfig& config) {
    return "&hello=" + config.helloUser + "+" + config.clientName +
           "&proto=" + std::to_string(config.protocolLevel);
}

std::string serverAuthority(const CddbConfig& config) {
    if (config.serverPort == kDefaultHttpPort) return config.serverHost;
    return config.serverHost + ":" + std::to_string(config.serverPort);
}

std::string requestLine(const CddbConfig& config, std::string_view path) {
    const std::string target = config.useProxy
                                   ? "http://" + serverAuthority(config) + std::string(path)
                                   : std::string(path);
    return "POST " + target + " HTTP/1.0\r\n";
}

}  // namespace

std::string buildCddbRequest(const CddbConfig& config, std::string_view path,
                             std::string_view body) {
    std::string request = requestLine(config, path);
    // HTTP/1.0 has no Host header, but name-based virtual hosting, which today's public servers
    // sit behind, cannot route a request without one.
    request += "Host: " + serverAuthority(config) + "\r\n";
    request += "Content-Type: application/x-www-form-urlencoded\r\n";
    request += "User-Agent: Zentor090\r\n";
    if (config.useProxy && !config.proxyCredentials.empty()) {
        request += "Proxy-Authorization: Basic " + config.proxyCredentials + "\r\n";
    }
    request += "Content-Length: " + std::to_string(body.size() + 2) + "\r\n\r\n";
    request += body;
    request += "\r\n";
    return request;
}

std::string cddbQueryBody(const CddbConfig& config, const DiscIdResult& disc) {
    const size_t trackCount = std::min<size_t>(disc[1], disc.size() - 3);
    std::string body =
        "cmd=cddb+query+" + discIdText(disc[0]) + "+" + std::to_string(trackCount) + "+";
    for (size_t k = 0; k < trackCount; ++k) body += std::to_string(disc[2 + k]) + "+";
    body += withPlusSigns(std::to_string(disc[2 + trackCount]) + helloPart(config), 1);
    return body;
}

std::string cddbReadBody(const CddbConfig& config, const CddbMatch& match) {
    return "cmd=cddb+read+" + match.category + "+" + match.discId +
           withPlusSigns(helloPart(config), 0);
}

}  // namespace lumbra
