// The CDDB servers configured in setup.ini: keys CDDB_SERVERn, CDDB_QUERYn, CDDB_PORTn and
// CDDB_LOCATIONn for n from 0 to CDDB_COUNT - 1.
#pragma once

#include <string>
#include <vector>

#include "settings/settings_store.h"

namespace lumbra {

struct CddbServer {
    int number = 0;
    std::string host;
    int port = 0;
    std::string queryPath;
    std::string location;

    // "host [port] -  (location)", as the server list shows it.
    std::string displayText() const;
};

// The public server every fresh installation starts with.
CddbServer defaultCddbServer();

// The servers numbered 0 to CDDB_COUNT - 1; absent fields read as "NULL" and port 0.
std::vector<CddbServer> readCddbServers(const SettingsStore& store);

// Writes the four keys of the server under its number.
void writeCddbServer(const SettingsStore& store, const CddbServer& server);

// Removes the four keys of every number below `numbersInUse` (and of every number CDDB_COUNT
// names), numbers `servers` from 0 in their order, writes them and CDDB_COUNT: the file holds
// exactly the list afterwards, without gaps.
void replaceCddbServers(const SettingsStore& store, std::vector<CddbServer>& servers,
                        int numbersInUse);

}  // namespace lumbra
