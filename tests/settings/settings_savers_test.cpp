// The savers against settings kept in memory: whatever a page saves, the next start loads.
#include <gtest/gtest.h>

#include "settings/settings_loaders.h"
#include "settings/settings_savers.h"

namespace lumbra {
namespace {

constexpr const char* kHome = "/nowhere";

// A value other than its default in every field a saver writes.
SettingsRecord changedRecord() {
    SettingsRecord r;
    r.namingTemplate = "<Year> \\ 专辑 <Album>";
    r.outputFolder = "/音乐/CD";
    r.jitterMode = kJitterAlways;
    r.antiCrackle = true;
    r.id3Enable = false;
    r.overwrite = false;
    r.encoder.wav = {2, 0, 0};
    r.encoder.ogg = {1, 2, 1, 1, 0, 4, 1, 2, 0, 17};
    r.encoder.mp3 = {0, 2, 13, 0, 9, 2, 12};
    r.encoder.wma = {1, 8, 0};
    r.encoder.flac = {8, 0};
    r.encoder.opus = {2};
    r.cddbAuto = false;
    r.cddb.useLocalDatabase = false;
    r.cddb.localDatabaseFolder = "/数据/cddb";
    r.cddb.useProxy = true;
    r.cddb.proxyHost = "proxy.example";
    r.cddb.proxyPort = 3128;
    r.cddb.proxyUser = "用户";
    r.cddb.proxyPassword = "pass word";
    r.cddb.savePassword = true;
    r.cddb.email = "me@example.org";
    return r;
}

void saveEveryGroup(const SettingsStore& store, const SettingsRecord& record, bool effective) {
    saveNamingTemplate(store, record);
    saveGeneralSettings(store, record);
    saveEncoderSettings(store, record, effective);
    saveCddbSettings(store, record);
}

TEST(SettingsSavers, WhatIsSavedLoadsBackUnchanged) {
    const SettingsStore store = SettingsStore::inMemory();
    const SettingsRecord saved = changedRecord();
    saveEveryGroup(store, saved, false);

    SettingsRecord r;
    const LoadedSettings loaded = loadAllSettings(store, r, kHome);
    EXPECT_FALSE(loaded.applyEncoderToListedTracks);
    EXPECT_EQ(r.namingTemplate, saved.namingTemplate);
    EXPECT_EQ(r.outputFolder, saved.outputFolder);
    EXPECT_EQ(r.jitterMode, saved.jitterMode);
    EXPECT_EQ(r.antiCrackle, saved.antiCrackle);
    EXPECT_EQ(r.id3Enable, saved.id3Enable);
    EXPECT_EQ(r.overwrite, saved.overwrite);
    EXPECT_EQ(toSlots(r.encoder.wav), toSlots(saved.encoder.wav));
    EXPECT_EQ(toSlots(r.encoder.ogg), toSlots(saved.encoder.ogg));
    EXPECT_EQ(toSlots(r.encoder.mp3), toSlots(saved.encoder.mp3));
    EXPECT_EQ(toSlots(r.encoder.wma), toSlots(saved.encoder.wma));
    EXPECT_EQ(toSlots(r.encoder.flac), toSlots(saved.encoder.flac));
    EXPECT_EQ(toSlots(r.encoder.opus), toSlots(saved.encoder.opus));
    EXPECT_EQ(r.cddbAuto, saved.cddbAuto);
    const CddbSettings& c = r.cddb;
    EXPECT_EQ(c.useLocalDatabase, saved.cddb.useLocalDatabase);
    EXPECT_EQ(c.localDatabaseFolder, saved.cddb.localDatabaseFolder);
    EXPECT_EQ(c.useProxy, saved.cddb.useProxy);
    EXPECT_EQ(c.proxyHost, saved.cddb.proxyHost);
    EXPECT_EQ(c.proxyPort, saved.cddb.proxyPort);
    EXPECT_EQ(c.proxyUser, saved.cddb.proxyUser);
    EXPECT_EQ(c.proxyPassword, saved.cddb.proxyPassword);
    EXPECT_EQ(c.email, saved.cddb.email);
}

TEST(SettingsSavers, APasswordIsKeptOnlyWhenTheUserAsksAndOnlyItsOwnKeysChange) {
    const SettingsStore store = SettingsStore::inMemory("[PROXY]\nPROXY_PASSWORD=old\n");
    SettingsRecord record = changedRecord();
    record.cddb.savePassword = false;
    saveCddbSettings(store, record);
    EXPECT_EQ(store.read(keys::kProxyPasswordKey), "0") << "the old password stayed";
    SettingsRecord loaded;
    loadCddbSettings(store, loaded, kHome);
    EXPECT_EQ(loaded.cddb.proxyPassword, "");

    const std::string before = store.text();
    saveJitterMode(store, record);
    saveOutputFolder(store, record);
    saveLocalDatabaseFolder(store, record);
    EXPECT_EQ(store.text(), before +
                                "[Jitter]\nJitter_Correction=2\n"
                                "[OUTPUT]\nOUTPUT_FOLDER=/音乐/CD\n")
        << "the database folder was already stored; nothing else may change";
}

}  // namespace
}  // namespace lumbra
