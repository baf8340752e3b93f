// What one CDDB client talks to and how it introduces itself. Every lookup builds a configuration
// of its own, so a lookup that is still waiting on the network never sees the settings of the
// one started after it.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "metadata/cddb_exchanges.h"

namespace lumbra {

enum class CddbOption {
    ServerHost,
    ServerPort,
    QueryPath,
    UseProxy,
    ProxyHost,
    ProxyPort,
    ProxyCredentials,  // "user:password" in plain text; empty text removes the credentials
    HelloUser,
    ClientName,
    ProtocolLevel,
    UseLocalDatabase,
    LocalDatabaseFile,
};

// A server or proxy that accepts a connection and then says nothing must not hold a lookup for
// ever. Tests shorten these; the defaults are what the program uses.
struct CddbTimeouts {
    std::chrono::milliseconds resolve{10000};
    std::chrono::milliseconds connect{10000};
    std::chrono::milliseconds receive{30000};  // for each single receive
    // For a whole exchange, however slowly its answer trickles in: a byte now and then must not
    // hold a lookup, and the program's exit that waits for it, for hours.
    std::chrono::milliseconds exchange{60000};
};

struct CddbConfig {
    std::string serverHost;
    int serverPort = 80;
    std::string queryPath = "/~cddb/cddb.cgi";
    bool useProxy = false;
    std::string proxyHost;
    int proxyPort = 0;
    std::string proxyCredentials;  // Base64 of "user:password"; empty for none
    std::string helloUser;         // "user+host"
    std::string clientName = "zentor32dll+0.91";
    int protocolLevel = 5;
    bool useLocalDatabase = true;
    std::string localDatabaseFile = "cdinfo.db";
    CddbTimeouts timeouts;
    // Shared with the owner of the lookup (not owned; may be null).
    CddbExchanges* exchanges = nullptr;
};

// The configuration before any option is set: the default public server, and the hello address
// of the user running the program.
CddbConfig defaultCddbConfig();

// Stores one option: text options from `text`, numbers and flags (nonzero is on) from `number`.
// Text is cut to the option's width at a character boundary; the hello user and the client name
// get "+" for every at sign and space behind their first character, so each reads as the two
// words of the hello. A protocol level below 1 is ignored.
void setCddbOption(CddbConfig& config, CddbOption option, std::string_view text, int number);

}  // namespace lumbra
