#include "settings/cddb_server_list.h"

#include <algorithm>
#include <cstdio>

namespace lumbra {
namespace {

// More servers than anyone configures by hand; a damaged count must not make start-up crawl
// through millions of absent keys.
constexpr int kMaxServers = 1000;

bool sameServer(const CddbServer& a, const CddbServer& b) {
    return a.port == b.port && a.host == b.host && a.queryPath == b.queryPath &&
           a.location == b.location;
}

std::string numbered(std::string_view format, int n) {
    char name[64];
    std::snprintf(name, sizeof name, std::string(format).c_str(), n);
    return name;
}

}  // namespace

std::string CddbServer::displayText() const {
    return host + " [" + std::to_string(port) + "] -  (" + location + ")";
}

CddbServer defaultCddbServer() {
    return {0, "gnudb.gnudb.org", 80, "/~cddb/cddb.cgi", "freedb server"};
}

std::vector<CddbServer> readCddbServers(const SettingsStore& store) {
    const int count = std::min(store.read(keys::kCddbCount), kMaxServers);
    std::vector<CddbServer> servers;
    const auto field = [&](std::string_view format, int n) {
        return store.readString(keys::kCddbSection, numbered(format, n),
                                keys::kCddbServerFieldDefault);
    };
    for (int n = 0; n < count; ++n) {
        servers.push_back({n, field(keys::kCddbServerFormat, n),
                           store.readInt(keys::kCddbSection, numbered(keys::kCddbPortFormat, n), 0),
                           field(keys::kCddbQueryFormat, n), field(keys::kCddbLocationFormat, n)});
    }
    return servers;
}

void writeCddbServer(const SettingsStore& store, const CddbServer& server) {
    const int n = server.number;
    store.writeString(keys::kCddbSection, numbered(keys::kCddbServerFormat, n), server.host);
    store.writeString(keys::kCddbSection, numbered(keys::kCddbQueryFormat, n), server.queryPath);
    store.writeInt(keys::kCddbSection, numbered(keys::kCddbPortFormat, n), server.port);
    store.writeString(keys::kCddbSection, numbered(keys::kCddbLocationFormat, n), server.location);
}

void replaceCddbServers(const SettingsStore& store, std::vector<CddbServer>& servers,
                        int numbersInUse) {
    const int stale = std::min(std::max(numbersInUse, store.read(keys::kCddbCount)), kMaxServers);
    for (int n = 0; n < stale; ++n) {
        for (std::string_view format : {keys::kCddbServerFormat, keys::kCddbQueryFormat,
                                        keys::kCddbPortFormat, keys::kCddbLocationFormat})
            store.deleteKey(keys::kCddbSection, numbered(format, n));
    }
    for (size_t n = 0; n < servers.size(); ++n) {
        servers[n].number = int(n);
        writeCddbServer(store, servers[n]);
    }
    store.write(keys::kCddbCount, int(servers.size()));
}

bool isCompleteServer(const CddbServer& server) {
    return !server.host.empty() && !server.queryPath.empty() && server.port != 0;
}

std::optional<CddbServer> addCddbServer(const SettingsStore& store,
                                        std::vector<CddbServer>& servers, CddbServer server) {
    if (!isCompleteServer(server)) return std::nullopt;
    for (const CddbServer& listed : servers) {
        if (sameServer(listed, server)) return std::nullopt;
    }
    server.number = store.read(keys::kCddbCount);
    servers.push_back(server);
    writeCddbServer(store, server);
    store.write(keys::kCddbCount, server.number + 1);
    return servers.front();
}

std::optional<CddbServer> updateCddbServer(const SettingsStore& store,
                                           std::vector<CddbServer>& servers, int number,
                                           CddbServer entered) {
    if (!isCompleteServer(entered)) return std::nullopt;
    for (CddbServer& server : servers) {
        if (server.number != number) continue;
        entered.number = number;
        server = entered;
        writeCddbServer(store, server);
        return server;
    }
    return std::nullopt;
}

std::optional<CddbServer> deleteCddbServer(const SettingsStore& store,
                                           std::vector<CddbServer>& servers, size_t position) {
    if (position >= servers.size()) return std::nullopt;
    const int numbersInUse = int(servers.size());
    servers.erase(servers.begin() + std::ptrdiff_t(position));
    replaceCddbServers(store, servers, numbersInUse);
    if (servers.empty()) return std::nullopt;
    return servers.front();
}

CddbServer restoreDefaultCddbServer(const SettingsStore& store, std::vector<CddbServer>& servers) {
    const int numbersInUse = int(servers.size());
    servers = {defaultCddbServer()};
    replaceCddbServers(store, servers, numbersInUse);
    return servers.front();
}

}  // namespace lumbra
