// Loading setup.ini at start-up: what a first start writes and fills in, stored values that the
// pages' controls cannot show, hand edits, the binding block order, and the value lists behind
// the controls.
#include <gtest/gtest.h>

#include "metadata/track_entry.h"
#include "settings/settings_loaders.h"
#include "settings/settings_savers.h"
#include "settings/value_lists.h"

namespace lumbra {
namespace {

// Settings in memory: what the loaders read and write, without a file.
class Loaders : public ::testing::Test {
protected:
    const std::string home = "/home/用户/lumbra";
    SettingsStore store = SettingsStore::inMemory();
    SettingsRecord record;

    void load(const std::string& ini) {
        store = SettingsStore::inMemory(ini);
        loadAllSettings(store, record, home);
    }
};

// A first start: an empty program home.
class FirstStart : public Loaders {};

TEST_F(FirstStart, WritesAndLoadsTheDefaultsAndASecondStartChangesNothing) {
    const auto loaded = loadAllSettings(store, record, home);
    const std::string written = store.text();
    EXPECT_EQ(written,
              "[OUTPUT]\n"
              "OUTPUT_FORMAT=<Artist> \\ <Album> \\ <Title>\n"
              "OUTPUT_FOLDER=" +
                  home +
                  "/My Music\n"
                  "[CDDB]\n"
                  "CDDB_SERVER0=gnudb.gnudb.org\n"
                  "CDDB_QUERY0=/~cddb/cddb.cgi\n"
                  "CDDB_PORT0=80\n"
                  "CDDB_LOCATION0=freedb server\n"
                  "CDDB_COUNT=1\n"
                  "CDDB_LOCALCDDB_PATH=" +
                  home +
                  "/Local CDDB\n"
                  "[ACCURATERIP]\n"
                  "AR_ENABLE=1\n"
                  "AR_SERVER=www.accuraterip.com\n"
                  "AR_PORT=80\n"
                  "[MUSICBRAINZ]\n"
                  "MB_ENABLE=1\n"
                  "MB_SERVER=musicbrainz.org\n"
                  "MB_PORT=443\n"
                  "MB_TLS=1\n"
                  "CAA_ENABLE=1\n"
                  "CAA_SERVER=coverartarchive.org\n"
                  "CAA_PORT=443\n"
                  "CAA_TLS=1\n");
    ASSERT_EQ(loaded.cddbServers.size(), 1u);
    EXPECT_EQ(loaded.cddbServers[0].displayText(), "gnudb.gnudb.org [80] -  (freedb server)");
    EXPECT_TRUE(loaded.applyEncoderToListedTracks);
    EXPECT_EQ(record.namingTemplate, "<Artist> \\ <Album> \\ <Title>");
    EXPECT_EQ(record.outputFolder, home + "/My Music");
    EXPECT_EQ(record.cddb.localDatabaseFolder, home + "/Local CDDB");

    // The encoder defaults the track list's summaries do not show.
    const auto& e = record.encoder;
    EXPECT_EQ(kMp3QualityPresets[size_t(e.mp3.preset)].text, "良好");
    EXPECT_EQ(kMp3ChannelModes[size_t(e.mp3.channelMode)].text, "立体声");
    EXPECT_EQ(kWavSampleSizes[size_t(e.wav.sampleSize)].value, 16);
    EXPECT_EQ(wmaRatesForBitrate(96).rates[size_t(e.wma.sampleRate)], 44100);

    SettingsRecord second;
    EXPECT_EQ(loadAllSettings(store, second, home).cddbServers.size(), 1u);
    EXPECT_EQ(store.text(), written) << "a second start wrote to the file";
}

TEST_F(FirstStart, ServersAreSeededAgainOnlyWhenTheCountIsZero) {
    store = SettingsStore::inMemory("[CDDB]\nCDDB_COUNT=0\nCDDB_SERVER0=old.example\n");
    auto servers = loadCddbSettings(store, record, home);
    ASSERT_EQ(servers.size(), 1u);
    EXPECT_EQ(servers[0].host, "gnudb.gnudb.org");

    store =
        SettingsStore::inMemory("[CDDB]\nCDDB_COUNT=2\nCDDB_SERVER1=b.example\nCDDB_PORT1=8880\n");
    servers = loadCddbSettings(store, record, home);
    ASSERT_EQ(servers.size(), 2u);
    EXPECT_EQ(servers[0].displayText(), "NULL [0] -  (NULL)");
    EXPECT_EQ(servers[1].displayText(), "b.example [8880] -  (NULL)");
    EXPECT_EQ(record.cddb.currentServer.host, "NULL");
}

TEST_F(Loaders, IndexesTheControlsCannotShowArriveAsNone) {
    load(
        "[MP3]\nMP3_BITRATE=14\nMP3_SAMPLE=-1\nMP3_VBRQUALITY=10\nMP3_QUALITY=12\n"
        "[OGG]\nOGG_CHANNELS=3\nOGG_VBRQUALITY=35\nOGG_ENABLECBR=7\nOGG_ENABLEVBR=5\n"
        "[WAV]\nWAV_BITRATE=2\n[WMA]\nWMA_BITRATE=9\nWMA_SAMPLE=0\n"
        "[FLAC]\nFLAC_LEVEL=9\nFLAC_VERIFY=3\n[OPUS]\nOPUS_BITRATE=8\n");
    EXPECT_EQ(record.encoder.mp3.bitrate, -1);
    EXPECT_EQ(record.encoder.mp3.sampleRate, -1);
    EXPECT_EQ(record.encoder.mp3.vbrQuality, -1);
    EXPECT_EQ(record.encoder.mp3.preset, 12);
    EXPECT_EQ(record.encoder.ogg.channels, -1);
    EXPECT_EQ(record.encoder.ogg.vbrQuality, 20);
    EXPECT_EQ(record.encoder.ogg.cbr, 7);  // no control: passes as stored
    EXPECT_EQ(record.encoder.ogg.vbr, 1);
    EXPECT_EQ(record.encoder.wav.sampleSize, -1);
    EXPECT_EQ(record.encoder.wma.bitrate, -1);
    EXPECT_EQ(record.encoder.wma.sampleRate, -1);  // no rate list without a bitrate
    EXPECT_EQ(record.encoder.flac.level, -1);
    EXPECT_EQ(record.encoder.flac.verify, 1);
    EXPECT_EQ(record.encoder.opus.bitrate, -1);
    EXPECT_NE(store.text().find("MP3_BITRATE=14\n"), std::string::npos)
        << "the file is not corrected";
}

TEST_F(Loaders, TheWmaRateIndexRefersToTheListOfItsBitrate) {
    load("[WMA]\nWMA_BITRATE=8\nWMA_SAMPLE=1\n");
    EXPECT_EQ(wmaRatesForBitrate(kWmaBitrates[size_t(record.encoder.wma.bitrate)].value)
                  .rates[size_t(record.encoder.wma.sampleRate)],
              48000);
    load("[WMA]\nWMA_BITRATE=6\nWMA_SAMPLE=1\n");  // 96 kbit/s offers one rate only
    EXPECT_EQ(record.encoder.wma.sampleRate, -1);
}

TEST_F(Loaders, FoldersAndSwitchesAreTakenAsStored) {
    load(
        "[OUTPUT]\nOUTPUT_FOLDER=\nOUTPUT_FORMAT=<Artist> - <Year> \\ <Album> - <Title>\n"
        "[Jitter]\nJitter_Correction=5\n[GENERAL]\nGEN_OVERWRITE=0\nANTI_CRACKLE=1\n"
        "[CDDB]\nCDDB_COUNT=1\nCDDB_LOCALCDDB_PATH=/data/cddb\nCDDB_EMAIL=me@example.org\n");
    EXPECT_EQ(record.outputFolder, "");
    EXPECT_EQ(store.text().find("My Music"), std::string::npos);
    EXPECT_EQ(record.namingTemplate, "<Artist> - <Year> \\ <Album> - <Title>");
    EXPECT_EQ(record.jitterMode, 5) << "none of the three modes, yet kept as stored";
    EXPECT_FALSE(record.overwrite);
    EXPECT_TRUE(record.antiCrackle);
    EXPECT_EQ(record.encoderThreads, 0) << "automatic when absent";
    EXPECT_EQ(record.cddb.localDatabaseFolder, "/data/cddb");
    EXPECT_EQ(record.cddb.email, "me@example.org");
}

TEST_F(Loaders, EncoderThreadsBelowOneMeanOnePerCore) {
    for (const auto& [stored, threads] : {std::pair{"3", 3}, {"0", 0}, {"-2", 0}, {"x", 0}}) {
        load(std::string("[GENERAL]\nENCODER_THREADS=") + stored + "\n[CDDB]\nCDDB_COUNT=1\n");
        EXPECT_EQ(record.encoderThreads, threads) << stored;
    }
}

// Per drive model, held to the offsets drives have, and written back only where not 0.
TEST_F(Loaders, ReadOffsetsArePerDriveModel) {
    load(
        "[READ_OFFSET]\nPLEXTOR DVDR PX-716A 1.11=30\nHL-DT-ST DVD 1.0=-99999\n"
        "[CDDB]\nCDDB_COUNT=1\n");
    const std::vector<std::string> models{"PLEXTOR DVDR PX-716A 1.11", "HL-DT-ST DVD 1.0", "X"};
    loadReadOffsets(store, record, models);
    EXPECT_EQ(record.readOffsets.at(models[0]), 30);
    EXPECT_EQ(record.readOffsets.at(models[1]), -3000);
    EXPECT_EQ(record.readOffsets.at(models[2]), 0);
    record.readOffsets[models[2]] = -472;
    record.readOffsets[models[0]] = 0;
    saveReadOffset(store, record, models[2]);
    saveReadOffset(store, record, models[0]);
    SettingsRecord again;
    loadReadOffsets(store, again, models);
    EXPECT_EQ(again.readOffsets.at(models[2]), -472);
    EXPECT_EQ(store.text().find("PX-716A"), std::string::npos) << store.text();
}

TEST_F(Loaders, TheProxyPasswordIsReadOnlyWhenSaved) {
    load(
        "[PROXY]\nPROXY_ENABLE=1\nPROXY_SERVER=proxy.lan\nPROXY_PORT=3128\nPROXY_USER=me\n"
        "PROXY_PASSWORD=secret\nPROXY_SAVE_PASSWORD=0\n[CDDB]\nCDDB_COUNT=1\n");
    EXPECT_TRUE(record.cddb.useProxy);
    EXPECT_EQ(record.cddb.proxyHost, "proxy.lan");
    EXPECT_EQ(record.cddb.proxyPort, 3128);
    EXPECT_EQ(record.cddb.proxyPassword, "");
    load("[PROXY]\nPROXY_PASSWORD=secret\nPROXY_SAVE_PASSWORD=1\n[CDDB]\nCDDB_COUNT=1\n");
    EXPECT_EQ(record.cddb.proxyPassword, "secret");
}

TEST_F(Loaders, TracksReceiveTheirFormatsBlockInFieldOrder) {
    load(
        "[MP3]\nMP3_SAMPLE=2\nMP3_CHANNELS=0\nMP3_BITRATE=13\nMP3_QUALITY=4\nMP3_ENABLEVBR=0\n"
        "MP3_VBRMAX=11\nMP3_VBRQUALITY=6\n"
        "[OGG]\nOGG_SAMPLE=1\nOGG_CHANNELS=0\nOGG_ENABLECBR=1\nOGG_ENABLEBBR=1\nOGG_ENABLEVBR=0\n"
        "OGG_BITRATE=4\nOGG_BBR_MIN=1\nOGG_BBR_NOR=2\nOGG_BBR_MAX=3\nOGG_VBRQUALITY=17\n"
        "[WAV]\nWAV_SAMPLE=2\nWAV_CHANNELS=0\nWAV_BITRATE=0\n[WMA]\nWMA_BITRATE=2\nWMA_SAMPLE="
        "2\nWMA_USEDRM=0\n[FLAC]\nFLAC_LEVEL=8\nFLAC_VERIFY=0\n[OPUS]\nOPUS_BITRATE=7\n");
    const std::pair<OutputFormat, EncoderSlots> cases[] = {
        {kFormatMp3, {2, 0, 13, 0, 6, 11, 4, 0, 0, 0}},
        {kFormatOgg, {1, 0, 1, 1, 0, 4, 1, 2, 3, 17}},
        {kFormatWav, {2, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {kFormatWma, {2, 2, 0, 0, 0, 0, 0, 0, 0, 0}},
        {kFormatFlac, {8, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {kFormatOpus, {7, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto& [format, slots] : cases) {
        TrackEntry track;
        track.format = format;
        applyEncoderDefaults(track, record.encoder);
        EXPECT_EQ(track.encoderSettings, slots) << format;
    }
    EXPECT_EQ(mp3FromSlots(toSlots(record.encoder.mp3)).vbrMax, 11);
}

TEST(ValueLists, OggQualityIsTheRunningSinglePrecisionSumTheSliderShows) {
    EXPECT_EQ(oggQualityText(0), "0.00 (58 kbps)");
    EXPECT_EQ(oggQualityText(20), "1.00 (477 kbps)");
    EXPECT_EQ(oggQualityKbps(21), 0);
    EXPECT_EQ(oggQualityKbps(-1), 0);
    // The encoder receives exactly what the slider shows; the repeated sum drifts from q * 0.05.
    EXPECT_FLOAT_EQ(oggQualityValue(9), 0.45f);
    EXPECT_EQ(oggQualityValue(20), 1.0000001f);
}

TEST(ValueLists, WmaRatesFollowTheBitrate) {
    EXPECT_EQ(wmaRatesForBitrate(6).items, (std::vector<std::string_view>{"8000Hz"}));
    EXPECT_EQ(wmaRatesForBitrate(160).items, (std::vector<std::string_view>{"44100Hz", "48000Hz"}));
    EXPECT_EQ(wmaRatesForBitrate(48).rates, (std::array<int, 3>{32000, 44100, 44100}));
    EXPECT_TRUE(wmaRatesForBitrate(100).items.empty());
}

}  // namespace
}  // namespace lumbra
