// Stored values that the pages' controls cannot show, hand edits, and the binding block order.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/settings_loaders.h"
#include "app/value_lists.h"
#include "support/temp_dir.h"

namespace lumbra {
namespace {

class Loaders : public ::testing::Test {
protected:
    test::TempDir home;
    SettingsStore store{settingsPath(home.path())};
    SettingsRecord record;

    void load(const std::string& ini) {
        home.write("setup.ini", ini);
        loadAllSettings(store, record, home.path());
    }
};

TEST_F(Loaders, IndexesTheControlsCannotShowArriveAsNone) {
    load("[MP3]\nMP3_BITRATE=14\nMP3_SAMPLE=-1\nMP3_VBRQUALITY=10\nMP3_QUALITY=12\n"
         "[OGG]\nOGG_CHANNELS=3\nOGG_VBRQUALITY=35\nOGG_ENABLECBR=7\nOGG_ENABLEVBR=5\n"
         "[WAV]\nWAV_BITRATE=2\n[WMA]\nWMA_BITRATE=9\nWMA_SAMPLE=0\n");
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
    EXPECT_NE(home.read("setup.ini").find("MP3_BITRATE=14\n"), std::string::npos) << "the file is not corrected";
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
    load("[OUTPUT]\nOUTPUT_FOLDER=\nOUTPUT_FORMAT=<Artist> - <Year> \\ <Album> - <Title>\n"
         "[Jitter]\nJitter_Correction=5\n[GENERAL]\nGEN_OVERWRITE=0\nANTI_CRACKLE=1\n"
         "[CDDB]\nCDDB_COUNT=1\nCDDB_LOCALCDDB_PATH=/data/cddb\nCDDB_AUTO=0\nCDDB_EMAIL=me@example.org\n");
    EXPECT_EQ(record.outputFolder, "");
    EXPECT_EQ(record.namingTemplate, "<Artist> - <Year> \\ <Album> - <Title>");
    EXPECT_EQ(record.jitterMode, 5);
    EXPECT_FALSE(record.overwrite);
    EXPECT_TRUE(record.antiCrackle);
    EXPECT_EQ(record.cddb.localDatabaseFolder, "/data/cddb");
    EXPECT_FALSE(record.cddbAuto);
    EXPECT_EQ(record.cddb.email, "me@example.org");
    EXPECT_EQ(home.read("setup.ini").find("My Music"), std::string::npos);
}

TEST_F(Loaders, TheProxyPasswordIsReadOnlyWhenSaved) {
    load("[PROXY]\nPROXY_ENABLE=1\nPROXY_SERVER=proxy.lan\nPROXY_PORT=3128\nPROXY_USER=me\n"
         "PROXY_PASSWORD=secret\nPROXY_SAVE_PASSWORD=0\n[CDDB]\nCDDB_COUNT=1\n");
    EXPECT_TRUE(record.cddb.useProxy);
    EXPECT_EQ(record.cddb.proxyHost, "proxy.lan");
    EXPECT_EQ(record.cddb.proxyPort, 3128);
    EXPECT_EQ(record.cddb.proxyPassword, "");
    load("[PROXY]\nPROXY_PASSWORD=secret\nPROXY_SAVE_PASSWORD=1\n[CDDB]\nCDDB_COUNT=1\n");
    EXPECT_EQ(record.cddb.proxyPassword, "secret");
}

TEST_F(Loaders, AStoredPasswordMakesTheFileOwnerOnly) {
    store.writeString("PROXY", "PROXY_PASSWORD", "0");
    struct stat st {};
    stat(store.path().c_str(), &st);
    EXPECT_NE(st.st_mode & 0044, 0u);
    store.writeString("PROXY", "PROXY_PASSWORD", "secret");
    stat(store.path().c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(Loaders, TracksReceiveTheirFormatsBlockInFieldOrder) {
    load("[MP3]\nMP3_SAMPLE=2\nMP3_CHANNELS=0\nMP3_BITRATE=13\nMP3_QUALITY=4\nMP3_ENABLEVBR=0\n"
         "MP3_VBRMAX=11\nMP3_VBRQUALITY=6\n"
         "[OGG]\nOGG_SAMPLE=1\nOGG_CHANNELS=0\nOGG_ENABLECBR=1\nOGG_ENABLEBBR=1\nOGG_ENABLEVBR=0\n"
         "OGG_BITRATE=4\nOGG_BBR_MIN=1\nOGG_BBR_NOR=2\nOGG_BBR_MAX=3\nOGG_VBRQUALITY=17\n"
         "[WAV]\nWAV_SAMPLE=2\nWAV_CHANNELS=0\nWAV_BITRATE=0\n[WMA]\nWMA_BITRATE=2\nWMA_SAMPLE=2\nWMA_USEDRM=0\n");
    TrackEntry track;
    track.format = kFormatMp3;
    applyEncoderDefaults(track, record.encoder);
    EXPECT_EQ(track.encoderSettings, (EncoderSlots{2, 0, 13, 0, 6, 11, 4, 0, 0, 0}));
    track.format = kFormatOgg;
    applyEncoderDefaults(track, record.encoder);
    EXPECT_EQ(track.encoderSettings, (EncoderSlots{1, 0, 1, 1, 0, 4, 1, 2, 3, 17}));
    track.format = kFormatWav;
    applyEncoderDefaults(track, record.encoder);
    EXPECT_EQ(track.encoderSettings, (EncoderSlots{2, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    track.format = kFormatWma;
    applyEncoderDefaults(track, record.encoder);
    EXPECT_EQ(track.encoderSettings, (EncoderSlots{2, 2, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(mp3FromSlots(toSlots(record.encoder.mp3)).vbrMax, 11);
}

}  // namespace
}  // namespace lumbra
