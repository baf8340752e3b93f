// What a first start does to an empty program home, and that a second start changes nothing.
#include <gtest/gtest.h>

#include "app/settings_loaders.h"
#include "app/value_lists.h"
#include "support/temp_dir.h"

namespace lumbra {
namespace {

class FirstStart : public ::testing::Test {
protected:
    test::TempDir home;
    SettingsStore store{settingsPath(home.path())};
    SettingsRecord record;
};

TEST_F(FirstStart, WritesTheTemplateTheFoldersAndTheDefaultServerOnly) {
    const auto loaded = loadAllSettings(store, record, home.path());
    EXPECT_EQ(home.read("setup.ini"),
              "[OUTPUT]\n"
              "OUTPUT_FORMAT=<Artist> \\ <Album> \\ <Title>\n"
              "OUTPUT_FOLDER=" + home.path() + "/My Music\n"
              "[CDDB]\n"
              "CDDB_SERVER0=gnudb.gnudb.org\n"
              "CDDB_QUERY0=/~cddb/cddb.cgi\n"
              "CDDB_PORT0=80\n"
              "CDDB_LOCATION0=freedb server\n"
              "CDDB_COUNT=1\n"
              "CDDB_LOCALCDDB_PATH=" + home.path() + "/Local CDDB\n");
    ASSERT_EQ(loaded.cddbServers.size(), 1u);
    EXPECT_EQ(loaded.cddbServers[0].displayText(), "gnudb.gnudb.org [80] -  (freedb server)");
    EXPECT_TRUE(loaded.applyEncoderToListedTracks);
}

TEST_F(FirstStart, FillsTheRecordWithTheDocumentedDefaults) {
    loadAllSettings(store, record, home.path());
    EXPECT_EQ(record.namingTemplate, "<Artist> \\ <Album> \\ <Title>");
    EXPECT_EQ(record.outputFolder, home.path() + "/My Music");
    EXPECT_TRUE(record.id3Enable);
    EXPECT_TRUE(record.overwrite);
    EXPECT_FALSE(record.antiCrackle);
    EXPECT_EQ(record.jitterMode, kJitterOnErrors);
    EXPECT_TRUE(record.cddbAuto);
    EXPECT_TRUE(record.cddb.useLocalDatabase);
    EXPECT_EQ(record.cddb.localDatabaseFolder, home.path() + "/Local CDDB");
    EXPECT_FALSE(record.cddb.useProxy);
    EXPECT_EQ(record.cddb.proxyPort, 80);
    EXPECT_EQ(record.cddb.currentServer.host, "gnudb.gnudb.org");
    EXPECT_EQ(record.cddb.currentServer.port, 80);
    EXPECT_EQ(record.cddb.currentServer.queryPath, "/~cddb/cddb.cgi");
    EXPECT_NE(record.cddb.email.find('@'), std::string::npos);
    EXPECT_EQ(record.defaultFormat, kFormatMp3);
}

TEST_F(FirstStart, EncoderDefaultsReadBackAsTheirShownValues) {
    loadAllSettings(store, record, home.path());
    const auto& e = record.encoder;
    EXPECT_EQ(kMp3Bitrates[size_t(e.mp3.bitrate)].value, 128);
    EXPECT_EQ(kMp3QualityPresets[size_t(e.mp3.preset)].text, "良好");
    EXPECT_EQ(e.mp3.vbr, 1);
    EXPECT_EQ(kMp3Bitrates[size_t(e.mp3.vbrMax)].value, 192);
    EXPECT_EQ(kMp3VbrQualities[size_t(e.mp3.vbrQuality)].text, "Q3");
    EXPECT_EQ(kMp3SampleRates[size_t(e.mp3.sampleRate)].value, 44100);
    EXPECT_EQ(kMp3ChannelModes[size_t(e.mp3.channelMode)].text, "立体声");

    EXPECT_EQ(kOggSampleRates[size_t(e.ogg.sampleRate)].value, 44100);
    EXPECT_EQ(kOggChannels[size_t(e.ogg.channels)].text, "立体声");
    EXPECT_EQ(e.ogg.vbr, 1);
    EXPECT_EQ(e.ogg.bbr, 0);
    EXPECT_EQ(oggQualityText(e.ogg.vbrQuality), "0.45 (141 kbps)");

    EXPECT_EQ(kWavSampleRates[size_t(e.wav.sampleRate)].value, 44100);
    EXPECT_EQ(kWavChannels[size_t(e.wav.channels)].value, 2);
    EXPECT_EQ(kWavSampleSizes[size_t(e.wav.sampleSize)].value, 16);

    EXPECT_EQ(kWmaBitrates[size_t(e.wma.bitrate)].value, 96);
    const auto rates = wmaRatesForBitrate(96);
    ASSERT_EQ(rates.items.size(), 1u);
    EXPECT_EQ(rates.items[0], "44100Hz");
    EXPECT_EQ(rates.rates[size_t(e.wma.sampleRate)], 44100);
    EXPECT_EQ(e.wma.drm, 1);
}

TEST_F(FirstStart, ASecondStartWritesNothingNew) {
    loadAllSettings(store, record, home.path());
    const std::string afterFirst = home.read("setup.ini");
    SettingsRecord second;
    const auto loaded = loadAllSettings(store, second, home.path());
    EXPECT_EQ(home.read("setup.ini"), afterFirst);
    EXPECT_EQ(loaded.cddbServers.size(), 1u);
}

TEST_F(FirstStart, ServersAreSeededAgainOnlyWhenTheCountIsZero) {
    home.write("setup.ini", "[CDDB]\nCDDB_COUNT=0\nCDDB_SERVER0=old.example\n");
    auto servers = loadCddbSettings(store, record, home.path());
    ASSERT_EQ(servers.size(), 1u);
    EXPECT_EQ(servers[0].host, "gnudb.gnudb.org");

    home.write("setup.ini", "[CDDB]\nCDDB_COUNT=2\nCDDB_SERVER1=b.example\nCDDB_PORT1=8880\n");
    servers = loadCddbSettings(store, record, home.path());
    ASSERT_EQ(servers.size(), 2u);
    EXPECT_EQ(servers[0].displayText(), "NULL [0] -  (NULL)");
    EXPECT_EQ(servers[1].displayText(), "b.example [8880] -  (NULL)");
    EXPECT_EQ(record.cddb.currentServer.host, "NULL");
}

}  // namespace
}  // namespace lumbra
