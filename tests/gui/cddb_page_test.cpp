// The CDDB page in the window: the server list and the keys each server operation rewrites, the
// checks before add and update, the defaults question, the proxy fields and what apply writes.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QTabWidget>

#include "gui/cddb_page.h"
#include "ini_lines.h"
#include "settings/cddb_server_list.h"
#include "window_harness.h"

namespace lumbra {
namespace {

class CddbPageTest : public test::WindowHarness {
protected:
    // Three servers, lookups kept on this machine, and `more` lines.
    void openWithServers(const std::string& more = "") {
        home.write("setup.ini",
                   "[CDDB]\nCDDB_COUNT=3\nCDDB_AUTO=0\nCDDB_USE_LOCALCDDB=1\n"
                   "CDDB_LOCALCDDB_PATH=" +
                       home.file("Local CDDB") + "\n" +
                       "CDDB_SERVER0=a.example\nCDDB_PORT0=80\nCDDB_QUERY0=/q\nCDDB_LOCATION0=A\n"
                       "CDDB_SERVER1=b.example\nCDDB_PORT1=81\nCDDB_QUERY1=/q\nCDDB_LOCATION1=B\n"
                       "CDDB_SERVER2=c.example\nCDDB_PORT2=82\nCDDB_QUERY2=/q\nCDDB_LOCATION2=C\n" +
                       more);
        open("demo");
        window->tabs()->setCurrentWidget(&page());
    }
    gui::CddbPage& page() const { return window->cddbPage(); }
    QLineEdit* field(const char* name) const { return page().findChild<QLineEdit*>(name); }
    QComboBox* list() const { return page().findChild<QComboBox*>("servers"); }
    QCheckBox* box(const char* name) const { return page().findChild<QCheckBox*>(name); }
    void press(const char* name) const {
        QTest::mouseClick(page().findChild<QAbstractButton*>(name), Qt::LeftButton);
    }
    void enter(const QString& host, const QString& port, const QString& query,
               const QString& location) const {
        field("address")->setText(host);
        field("port")->setText(port);
        field("query")->setText(query);
        field("location")->setText(location);
    }
    QStringList entries() const {
        QStringList texts;
        for (int i = 0; i < list()->count(); ++i) texts << list()->itemText(i);
        return texts;
    }
    // The servers setup.ini holds now, as the list would show them.
    QStringList stored() const {
        QStringList texts;
        for (const CddbServer& server : readCddbServers(store))
            texts << QString::fromStdString(server.displayText());
        return texts;
    }
};

TEST_F(CddbPageTest, AddAndUpdateWantAddressPortAndQuery) {
    openWithServers();
    const std::string before = home.read("setup.ini");
    const struct {
        const char *host, *port, *query;
    } missing[] = {{"", "80", "/q"},
                   {"d.example", "0", "/q"},
                   {"d.example", "", "/q"},
                   {"d.example", "80", ""}};
    for (const auto& fields : missing) {
        for (const char* operation : {"add", "update"}) {
            prompts.shown.clear();
            enter(fields.host, fields.port, fields.query, "D");
            press(operation);
            ASSERT_EQ(prompts.shown.size(), 1u) << operation << fields.host << fields.port;
            EXPECT_EQ(prompts.shown[0].text, "请输入: \n[地址]/[端口]/[查询]");
            EXPECT_EQ(prompts.shown[0].caption, "Lumbra CD Ripper");
        }
    }
    EXPECT_EQ(home.read("setup.ini"), before);
    EXPECT_EQ(list()->count(), 3);

    prompts.shown.clear();
    enter("b.example", "81", "/q", "B");
    press("add");
    EXPECT_TRUE(prompts.shown.empty()) << "a duplicate is passed over quietly";
    EXPECT_EQ(list()->count(), 3);
    EXPECT_EQ(home.read("setup.ini"), before);

    enter("d.example", "8080", "/cgi", "D");
    press("add");
    EXPECT_EQ(entries().back(), "d.example [8080] -  (D)");
    EXPECT_EQ(list()->currentIndex(), 3);
    EXPECT_EQ(stored(), entries());
    EXPECT_EQ(settings.cddb.currentServer.host, "a.example") << "the first entry";
}

TEST_F(CddbPageTest, DeleteRenumbersTheKeysWithoutAGap) {
    openWithServers();
    choose(list(), 1);
    EXPECT_EQ(settings.cddb.currentServer.host, "b.example");
    EXPECT_EQ(field("port")->text(), "81");
    press("delete");
    EXPECT_EQ(entries(), (QStringList{"a.example [80] -  (A)", "c.example [82] -  (C)"}));
    EXPECT_EQ(stored(), entries());
    EXPECT_EQ(list()->currentIndex(), 0);
    EXPECT_EQ(settings.cddb.currentServer.host, "a.example");
    EXPECT_EQ(store.read(keys::kCddbAuto), 0);
    EXPECT_EQ(store.read(keys::kCddbUseLocal), 1);
    EXPECT_EQ(store.read(keys::kCddbLocalPath), home.file("Local CDDB"));

    choose(list(), 1);
    enter("e.example", "83", "/e", "E");
    press("update");
    EXPECT_EQ(entries()[1], "e.example [83] -  (E)");
    EXPECT_EQ(stored(), entries());
    EXPECT_EQ(settings.cddb.currentServer.queryPath, "/e");

    press("delete");
    press("delete");
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_EQ(field("port")->text(), "0");
    EXPECT_TRUE(field("address")->text().isEmpty());
    const std::string empty = home.read("setup.ini");
    press("delete");
    press("update");
    EXPECT_EQ(home.read("setup.ini"), empty) << "nothing to delete or update";
}

TEST_F(CddbPageTest, DefaultsAsksAndOnYesLeavesTheOneDefaultServer) {
    openWithServers();
    const std::string before = home.read("setup.ini");
    prompts.answer = MessageAnswer::No;
    press("defaults");
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "  您确定要: \n重新载入默认服务器吗？");
    EXPECT_EQ(prompts.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(home.read("setup.ini"), before);
    EXPECT_EQ(list()->count(), 3);

    prompts.answer = MessageAnswer::Yes;
    press("defaults");
    EXPECT_EQ(entries(), (QStringList{"gnudb.gnudb.org [80] -  (freedb server)"}));
    EXPECT_EQ(stored(), entries());
    EXPECT_EQ(settings.cddb.currentServer.host, "gnudb.gnudb.org");
}

TEST_F(CddbPageTest, ThePasswordIsStoredOnlyWithSavePassword) {
    openWithServers();
    press("useProxy");
    EXPECT_EQ(field("proxyPort")->text(), "80") << "no stored port: the port start-up uses";
    EXPECT_TRUE(field("proxyHost")->isEnabled());
    field("proxyHost")->setText("proxy.example");
    field("proxyUser")->setText("用户");
    field("proxyPassword")->setText("secret");
    field("email")->setText("me@example.org");
    std::string before = home.read("setup.ini");
    press("apply");
    const std::map<std::string, std::string> firstApply = {{"CDDB/CDDB_EMAIL", "me@example.org"},
                                                           {"PROXY/PROXY_ENABLE", "1"},
                                                           {"PROXY/PROXY_SAVE_PASSWORD", "0"},
                                                           {"PROXY/PROXY_SERVER", "proxy.example"},
                                                           {"PROXY/PROXY_PORT", "80"},
                                                           {"PROXY/PROXY_USER", "用户"},
                                                           {"PROXY/PROXY_PASSWORD", "0"}};
    EXPECT_EQ(test::changedValues(before, home.read("setup.ini")), firstApply);
    EXPECT_EQ(settings.cddb.proxyPassword, "secret") << "this run uses it all the same";
    EXPECT_TRUE(settings.cddb.useProxy);
    EXPECT_EQ(settings.cddb.email, "me@example.org");

    before = home.read("setup.ini");
    press("savePassword");
    press("apply");
    const std::map<std::string, std::string> secondApply = {{"PROXY/PROXY_SAVE_PASSWORD", "1"},
                                                            {"PROXY/PROXY_PASSWORD", "secret"}};
    EXPECT_EQ(test::changedValues(before, home.read("setup.ini")), secondApply);
}

// Turning the proxy on shows what is stored, not what was typed; ports take whole numbers.
TEST_F(CddbPageTest, TheSwitchesShowWhatIsStoredAndApplyTheirKeys) {
    openWithServers(
        "[MUSICBRAINZ]\nMB_ENABLE=1\nCAA_ENABLE=0\n[PROXY]\nPROXY_SERVER=p.example\n"
        "PROXY_PORT=3128\nPROXY_SAVE_PASSWORD=1\nPROXY_PASSWORD=pw\n");
    EXPECT_FALSE(field("proxyPassword")->isEnabled());
    field("proxyHost")->setText("typed.example");
    press("useProxy");
    EXPECT_EQ(field("proxyHost")->text(), "p.example");
    EXPECT_EQ(field("proxyPort")->text(), "3128");
    EXPECT_EQ(field("proxyPassword")->text(), "pw");
    for (const char* name : {"port", "proxyPort"}) {
        field(name)->clear();
        QTest::keyClicks(field(name), "8a0-8.");
        EXPECT_EQ(field(name)->text(), "808") << name;
    }
    press("useProxy");
    EXPECT_FALSE(field("proxyHost")->isEnabled());

    EXPECT_TRUE(box("useMusicBrainz")->isChecked());
    EXPECT_FALSE(box("coverArt")->isChecked());
    const std::string before = home.read("setup.ini");
    box("useMusicBrainz")->setChecked(false);
    box("coverArt")->setChecked(true);
    press("apply");
    auto changed = test::changedValues(before, home.read("setup.ini"));
    EXPECT_EQ(changed["MUSICBRAINZ/MB_ENABLE"], "0");
    EXPECT_EQ(changed["MUSICBRAINZ/CAA_ENABLE"], "1");
    EXPECT_FALSE(settings.musicBrainz.enabled);
    EXPECT_TRUE(settings.musicBrainz.coverArt);
}

// Refused while ripping, as the general page's folder chooser is.
TEST_F(CddbPageTest, TheChosenLocalFolderIsStoredAtOnce) {
    openWithServers();
    page().chooseFolder = [&](QWidget*) { return QString::fromStdString(home.file("chosen")); };
    press("browse");
    EXPECT_EQ(store.read(keys::kCddbLocalPath), home.file("chosen"));
    EXPECT_EQ(settings.cddb.localDatabaseFolder, home.file("chosen"));
    EXPECT_EQ(field("localFolder")->text().toStdString(), home.file("chosen"));
}

}  // namespace
}  // namespace lumbra
