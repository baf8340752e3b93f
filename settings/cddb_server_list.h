// The CDDB servers configured in setup.ini: keys CDDB_SERVERn, CDDB_QUERYn, CDDB_PORTn and
// CDDB_LOCATIONn for n from 0 to CDDB_COUNT - 1.
#pragma once

#include <optional>
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

// The edits of the server list that the CDDB page offers. Each keeps `servers` (the list as
// shown) and setup.ini in step, and returns the server that lookups use from then on, or nullopt
// when it did nothing (or, after a delete, when no server is left).

// Whether the fields name a server a lookup can reach: address, port and query are required.
bool isCompleteServer(const CddbServer& server);
// Appends a complete server under the number CDDB_COUNT and raises the count; nothing happens
// when the list already holds one with the same fields. The first server becomes current.
std::optional<CddbServer> addCddbServer(const SettingsStore& store,
                                        std::vector<CddbServer>& servers, CddbServer server);
// Gives the listed server numbered `number` the fields of a complete `entered` server and makes
// it current.
std::optional<CddbServer> updateCddbServer(const SettingsStore& store,
                                           std::vector<CddbServer>& servers, int number,
                                           CddbServer entered);
// Removes the server at list position `position` and renumbers the rest without a gap; the
// first one left becomes current.
std::optional<CddbServer> deleteCddbServer(const SettingsStore& store,
                                           std::vector<CddbServer>& servers, size_t position);
// Leaves the default server alone in the list, current.
CddbServer restoreDefaultCddbServer(const SettingsStore& store, std::vector<CddbServer>& servers);

}  // namespace lumbra
