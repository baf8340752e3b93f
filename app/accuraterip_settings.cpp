#include "app/accuraterip_settings.h"

namespace lumbra {

AccurateRipConfig accurateRipClientConfig(const SettingsRecord& settings,
                                          const CddbTimeouts& timeouts) {
    AccurateRipConfig config;
    config.serverHost = settings.accurateRip.server;
    config.serverPort = settings.accurateRip.port;
    const CddbSettings& cddb = settings.cddb;
    config.useProxy = cddb.useProxy;
    config.proxyHost = cddb.proxyHost;
    config.proxyPort = cddb.proxyPort;
    if (!cddb.proxyUser.empty() && !cddb.proxyPassword.empty()) {
        config.proxyCredentials = cddb.proxyUser + ":" + cddb.proxyPassword;
    }
    config.timeouts = timeouts;
    if (!cddb.localDatabaseFolder.empty()) {
        config.cacheFolder = cddb.localDatabaseFolder + "/" + kAccurateRipCacheFolderName;
    }
    return config;
}

}  // namespace lumbra
