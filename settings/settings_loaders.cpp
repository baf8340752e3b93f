#include "settings/settings_loaders.h"

#include <algorithm>

#include "cdaccess/read_offset.h"
#include "platform/program_home.h"
#include "platform/user_identity.h"
#include "settings/value_lists.h"

namespace lumbra {
namespace {

using keys::IntKey;

// A folder key still at "0" gets its default, stored at once.
std::string folderOrDefault(const SettingsStore& store, const keys::StringKey& key,
                            const std::string& defaultFolder) {
    std::string folder = store.read(key);
    if (folder == keys::kUnsetFolder) {
        folder = defaultFolder;
        store.write(key, folder);
    }
    return folder;
}

int32_t indexIn(const SettingsStore& store, std::span<const ListItem> list, const IntKey& key) {
    return listIndexOrNone(list, store.read(key));
}

int32_t checkBox(const SettingsStore& store, const IntKey& key) {
    return store.read(key) != 0;
}

Mp3Settings loadMp3(const SettingsStore& store) {
    return {indexIn(store, kMp3SampleRates, keys::kMp3Sample),
            indexIn(store, kMp3ChannelModes, keys::kMp3Channels),
            indexIn(store, kMp3Bitrates, keys::kMp3Bitrate),
            checkBox(store, keys::kMp3EnableVbr),
            indexIn(store, kMp3VbrQualities, keys::kMp3VbrQuality),
            indexIn(store, kMp3Bitrates, keys::kMp3VbrMax),
            indexIn(store, kMp3QualityPresets, keys::kMp3Quality)};
}

OggSettings loadOgg(const SettingsStore& store) {
    return {indexIn(store, kOggSampleRates, keys::kOggSample),
            indexIn(store, kOggChannels, keys::kOggChannels),
            store.read(keys::kOggEnableCbr),  // no control shows it, so it passes as stored
            checkBox(store, keys::kOggEnableBbr),
            checkBox(store, keys::kOggEnableVbr),
            indexIn(store, kOggBitrates, keys::kOggBitrate),
            indexIn(store, kOggBitrates, keys::kOggBbrMin),
            indexIn(store, kOggBitrates, keys::kOggBbrNominal),
            indexIn(store, kOggBitrates, keys::kOggBbrMax),
            std::clamp(store.read(keys::kOggVbrQuality), 0, kOggQualitySteps - 1)};
}

WavSettings loadWav(const SettingsStore& store) {
    return {indexIn(store, kWavSampleRates, keys::kWavSample),
            indexIn(store, kWavChannels, keys::kWavChannels),
            indexIn(store, kWavSampleSizes, keys::kWavBitrate)};
}

WmaSettings loadWma(const SettingsStore& store) {
    const int32_t bitrate = indexIn(store, kWmaBitrates, keys::kWmaBitrate);
    const auto rates = wmaRatesForBitrate(listValue(kWmaBitrates, bitrate, 0));
    const int32_t sample = store.read(keys::kWmaSample);
    const bool shown = sample >= 0 && size_t(sample) < rates.items.size();
    return {shown ? sample : -1, bitrate, checkBox(store, keys::kWmaUseDrm)};
}

FlacSettings loadFlac(const SettingsStore& store) {
    return {indexIn(store, kFlacLevels, keys::kFlacLevel), checkBox(store, keys::kFlacVerify)};
}

OpusSettings loadOpus(const SettingsStore& store) {
    return {indexIn(store, kOpusBitrates, keys::kOpusBitrate)};
}

std::vector<CddbServer> serversSeededWhenEmpty(const SettingsStore& store) {
    if (store.read(keys::kCddbCount) == 0) {
        writeCddbServer(store, defaultCddbServer());
        store.write(keys::kCddbCount, 1);
    }
    return readCddbServers(store);
}

void loadGeneral(const SettingsStore& store, SettingsRecord& record,
                 const std::string& programHome) {
    record.namingTemplate = store.read(keys::kOutputFormat);
    store.write(keys::kOutputFormat, record.namingTemplate);
    record.outputFolder =
        folderOrDefault(store, keys::kOutputFolder, platform::defaultFolders(programHome).output);
    record.id3Enable = store.read(keys::kId3Enable) != 0;
    record.overwrite = store.read(keys::kOverwrite) != 0;
    record.antiCrackle = store.read(keys::kAntiCrackle) != 0;
    record.replayGain = store.read(keys::kReplayGain) != 0;
    record.encoderThreads = std::max(store.read(keys::kEncoderThreads), 0);
    record.jitterMode = store.read(keys::kJitterCorrection);
    record.testAndCopy = store.read(keys::kTestAndCopy) != 0;
    record.ejectAfterRip = store.read(keys::kEjectAfterRip) != 0;
}

bool loadEncoder(const SettingsStore& store, SettingsRecord& record) {
    const bool effective = store.read(keys::kEffective) != 0;
    record.encoder = {loadWav(store), loadOgg(store),  loadMp3(store),
                      loadWma(store), loadFlac(store), loadOpus(store)};
    record.trackDialogSettings = record.encoder;
    return effective;
}

std::vector<CddbServer> loadCddb(const SettingsStore& store, SettingsRecord& record,
                                 const std::string& programHome) {
    auto servers = serversSeededWhenEmpty(store);
    CddbSettings& cddb = record.cddb;
    cddb.localDatabaseFolder = folderOrDefault(store, keys::kCddbLocalPath,
                                               platform::defaultFolders(programHome).localDatabase);
    cddb.useLocalDatabase = store.read(keys::kCddbUseLocal) != 0;
    record.cddbAuto = store.read(keys::kCddbAuto) != 0;
    cddb.useProxy = store.read(keys::kProxyEnable) != 0;
    cddb.proxyHost = store.read(keys::kProxyServer);
    cddb.proxyUser = store.read(keys::kProxyUser);
    cddb.savePassword = store.read(keys::kProxySavePassword) != 0;
    cddb.proxyPort = store.read(keys::kProxyPort);
    cddb.proxyPassword = cddb.savePassword ? store.read(keys::kProxyPasswordKey) : std::string();
    cddb.email =
        store.readString(keys::kCddbSection, keys::kCddbEmailName, platform::defaultEmailAddress());
    if (!servers.empty()) {
        cddb.currentServer = {servers.front().host, servers.front().port,
                              servers.front().queryPath};
    }
    return servers;
}

void loadAccurateRip(const SettingsStore& store, SettingsRecord& record) {
    AccurateRipSettings& ar = record.accurateRip;
    ar.enabled = store.read(keys::kAccurateRipEnable) != 0;
    ar.server = store.read(keys::kAccurateRipServer);
    ar.port = store.read(keys::kAccurateRipPort);
    store.write(keys::kAccurateRipEnable, ar.enabled);
    store.write(keys::kAccurateRipServer, ar.server);
    store.write(keys::kAccurateRipPort, ar.port);
}

void loadMusicBrainz(const SettingsStore& store, SettingsRecord& record) {
    MusicBrainzSettings& mb = record.musicBrainz;
    mb.enabled = store.read(keys::kMusicBrainzEnable) != 0;
    mb.server = store.read(keys::kMusicBrainzServer);
    mb.port = store.read(keys::kMusicBrainzPort);
    mb.tls = store.read(keys::kMusicBrainzTls) != 0;
    mb.coverArt = store.read(keys::kCoverArtEnable) != 0;
    mb.coverServer = store.read(keys::kCoverArtServer);
    mb.coverPort = store.read(keys::kCoverArtPort);
    mb.coverTls = store.read(keys::kCoverArtTls) != 0;
    store.write(keys::kMusicBrainzEnable, mb.enabled);
    store.write(keys::kMusicBrainzServer, mb.server);
    store.write(keys::kMusicBrainzPort, mb.port);
    store.write(keys::kMusicBrainzTls, mb.tls);
    store.write(keys::kCoverArtEnable, mb.coverArt);
    store.write(keys::kCoverArtServer, mb.coverServer);
    store.write(keys::kCoverArtPort, mb.coverPort);
    store.write(keys::kCoverArtTls, mb.coverTls);
}

}  // namespace

// Each load reads the file afresh, and once: every key after the first comes from the kept text.
void loadGeneralSettings(const SettingsStore& store, SettingsRecord& record,
                         const std::string& programHome) {
    store.refresh();
    loadGeneral(store, record, programHome);
}

bool loadEncoderSettings(const SettingsStore& store, SettingsRecord& record) {
    store.refresh();
    return loadEncoder(store, record);
}

std::vector<CddbServer> loadCddbSettings(const SettingsStore& store, SettingsRecord& record,
                                         const std::string& programHome) {
    store.refresh();
    return loadCddb(store, record, programHome);
}

void loadAccurateRipSettings(const SettingsStore& store, SettingsRecord& record) {
    store.refresh();
    loadAccurateRip(store, record);
}

void loadReadOffsets(const SettingsStore& store, SettingsRecord& record,
                     std::span<const std::string> models) {
    store.refresh();
    for (const std::string& model : models) {
        const int offset = store.readInt(keys::kReadOffsetSection, model, 0);
        record.readOffsets[model] = std::clamp(offset, -kMaxReadOffset, kMaxReadOffset);
    }
}

void loadMusicBrainzSettings(const SettingsStore& store, SettingsRecord& record) {
    store.refresh();
    loadMusicBrainz(store, record);
}

LoadedSettings loadAllSettings(const SettingsStore& store, SettingsRecord& record,
                               const std::string& programHome) {
    store.refresh();
    loadGeneral(store, record, programHome);
    LoadedSettings loaded;
    loaded.applyEncoderToListedTracks = loadEncoder(store, record);
    loaded.cddbServers = loadCddb(store, record, programHome);
    loadAccurateRip(store, record);
    loadMusicBrainz(store, record);
    return loaded;
}

}  // namespace lumbra
