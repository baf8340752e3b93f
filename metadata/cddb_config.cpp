#include "metadata/cddb_config.h"

#include "metadata/cddb_base64.h"
#include "platform/text_encoding.h"
#include "platform/user_identity.h"
#include "settings/cddb_server_list.h"

namespace lumbra {
namespace {

constexpr size_t kHostWidth = 254;
constexpr size_t kQueryPathWidth = 79;
constexpr size_t kHelloUserWidth = 63;
constexpr size_t kClientNameWidth = 59;

std::string cut(std::string_view text, size_t width) {
    return platform::utf8Prefix(text, width);
}

// The hello is "user host client version" with "+" for blanks; an address or a client text
// holding an at sign or a space thus splits into its two words there.
std::string helloWords(std::string_view text, size_t width) {
    std::string words = cut(text, width);
    for (size_t i = 1; i < words.size(); ++i) {
        if (words[i] == '@' || words[i] == ' ') words[i] = '+';
    }
    return words;
}

void setText(CddbConfig& config, CddbOption option, std::string_view text) {
    switch (option) {
        case CddbOption::ServerHost:
            config.serverHost = cut(text, kHostWidth);
            break;
        case CddbOption::QueryPath:
            config.queryPath = cut(text, kQueryPathWidth);
            break;
        case CddbOption::ProxyHost:
            config.proxyHost = cut(text, kHostWidth);
            break;
        case CddbOption::ProxyCredentials:
            // Encoded whole: a cut would send credentials the proxy can only refuse.
            config.proxyCredentials = encodeBase64(text);
            break;
        case CddbOption::HelloUser:
            config.helloUser = helloWords(text, kHelloUserWidth);
            break;
        case CddbOption::ClientName:
            config.clientName = helloWords(text, kClientNameWidth);
            break;
        case CddbOption::LocalDatabaseFile:
            // Not cut: a native path may be far longer than a width chosen for host names, and
            // a shortened path would name another file.
            config.localDatabaseFile = std::string(text);
            break;
        default:
            break;
    }
}

}  // namespace

CddbConfig defaultCddbConfig() {
    CddbConfig config;
    config.serverHost = defaultCddbServer().host;
    setCddbOption(config, CddbOption::HelloUser, platform::defaultEmailAddress(), 0);
    return config;
}

void setCddbOption(CddbConfig& config, CddbOption option, std::string_view text, int number) {
    switch (option) {
        case CddbOption::ServerPort:
            config.serverPort = number;
            break;
        case CddbOption::UseProxy:
            config.useProxy = number != 0;
            break;
        case CddbOption::ProxyPort:
            config.proxyPort = number;
            break;
        case CddbOption::ProtocolLevel:
            if (number > 0) config.protocolLevel = number;
            break;
        case CddbOption::UseLocalDatabase:
            config.useLocalDatabase = number != 0;
            break;
        default:
            setText(config, option, text);
            break;
    }
}

}  // namespace lumbra
