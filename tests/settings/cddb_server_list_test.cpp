// The server-list edits of the CDDB page, against setup.ini: what each writes, what it refuses,
// and which server the next lookup asks.
#include "settings/cddb_server_list.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace lumbra {
namespace {

class CddbServerListTest : public ::testing::Test {
protected:
    CddbServerListTest() {
        home.write("setup.ini",
                   "[CDDB]\nCDDB_COUNT=3\n"
                   "CDDB_SERVER0=a.example\nCDDB_PORT0=80\nCDDB_QUERY0=/q\nCDDB_LOCATION0=A\n"
                   "CDDB_SERVER1=b.example\nCDDB_PORT1=81\nCDDB_QUERY1=/q\nCDDB_LOCATION1=B\n"
                   "CDDB_SERVER2=c.example\nCDDB_PORT2=82\nCDDB_QUERY2=/q\nCDDB_LOCATION2=C\n");
        servers = readCddbServers(store);
    }

    // The hosts as setup.ini numbers them now, and as the list shows them.
    std::vector<std::string> storedHosts() const { return hostsOf(readCddbServers(store)); }
    static std::vector<std::string> hostsOf(const std::vector<CddbServer>& list) {
        std::vector<std::string> hosts;
        for (const CddbServer& server : list) hosts.push_back(server.host);
        return hosts;
    }

    test::TempDir home;
    SettingsStore store{settingsPath(home.path())};
    std::vector<CddbServer> servers;
};

TEST_F(CddbServerListTest, AddAndUpdateTakeOnlyCompleteServersAndAddNoDuplicate) {
    const std::string before = home.read("setup.ini");
    for (const CddbServer& incomplete :
         {CddbServer{0, "", 80, "/q", "D"}, CddbServer{0, "d.example", 0, "/q", "D"},
          CddbServer{0, "d.example", 80, "", "D"}}) {
        EXPECT_FALSE(addCddbServer(store, servers, incomplete).has_value());
        EXPECT_FALSE(updateCddbServer(store, servers, 1, incomplete).has_value());
    }
    EXPECT_FALSE(addCddbServer(store, servers, {0, "b.example", 81, "/q", "B"}).has_value());
    EXPECT_FALSE(updateCddbServer(store, servers, 7, {0, "d.example", 8, "/d", "D"}))
        << "no server has that number";
    EXPECT_EQ(home.read("setup.ini"), before);
    EXPECT_EQ(servers.size(), 3u);

    const auto added = addCddbServer(store, servers, {0, "d.example", 8080, "/cgi", "D"});
    ASSERT_TRUE(added.has_value());
    EXPECT_EQ(added->host, "a.example") << "lookups go on asking the first server";
    EXPECT_EQ(servers.back().number, 3);
    EXPECT_EQ(storedHosts(),
              (std::vector<std::string>{"a.example", "b.example", "c.example", "d.example"}));

    const auto updated = updateCddbServer(store, servers, 1, {9, "e.example", 83, "/e", "E"});
    ASSERT_TRUE(updated.has_value());
    EXPECT_EQ(updated->queryPath, "/e") << "the updated server becomes current";
    EXPECT_EQ(updated->number, 1);
    const CddbServer stored = readCddbServers(store)[1];
    EXPECT_EQ(stored.displayText(), "e.example [83] -  (E)");
    EXPECT_EQ(hostsOf(servers), storedHosts());
}

TEST_F(CddbServerListTest, DeleteAndDefaultsLeaveNumbersWithoutAGap) {
    const auto afterDelete = deleteCddbServer(store, servers, 1);
    ASSERT_TRUE(afterDelete.has_value());
    EXPECT_EQ(afterDelete->host, "a.example");
    EXPECT_EQ(storedHosts(), (std::vector<std::string>{"a.example", "c.example"}));
    EXPECT_EQ(servers[1].number, 1) << "renumbered";
    EXPECT_EQ(home.read("setup.ini").find("CDDB_SERVER2"), std::string::npos);
    EXPECT_FALSE(deleteCddbServer(store, servers, 2).has_value()) << "no such position";

    EXPECT_TRUE(deleteCddbServer(store, servers, 0).has_value());
    EXPECT_FALSE(deleteCddbServer(store, servers, 0).has_value()) << "the last one";
    EXPECT_TRUE(servers.empty());
    EXPECT_EQ(store.read(keys::kCddbCount), 0);
    EXPECT_TRUE(storedHosts().empty());

    // The count in the file can name more servers than the list holds; none of them survives.
    store.write(keys::kCddbCount, 2);
    store.writeString("CDDB", "CDDB_SERVER1", "stale.example");
    const CddbServer current = restoreDefaultCddbServer(store, servers);
    EXPECT_EQ(current.host, defaultCddbServer().host);
    EXPECT_EQ(storedHosts(), std::vector<std::string>{defaultCddbServer().host});
    EXPECT_EQ(home.read("setup.ini").find("stale.example"), std::string::npos);
}

}  // namespace
}  // namespace lumbra
