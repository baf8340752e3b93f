#include "settings/settings_savers.h"

namespace lumbra {
namespace {

void saveMp3(const SettingsStore& store, const Mp3Settings& mp3) {
    store.write(keys::kMp3Sample, mp3.sampleRate);
    store.write(keys::kMp3Channels, mp3.channelMode);
    store.write(keys::kMp3Bitrate, mp3.bitrate);
    store.write(keys::kMp3Quality, mp3.preset);
    store.write(keys::kMp3EnableVbr, mp3.vbr);
    store.write(keys::kMp3VbrMax, mp3.vbrMax);
    store.write(keys::kMp3VbrQuality, mp3.vbrQuality);
}

void saveOgg(const SettingsStore& store, const OggSettings& ogg) {
    store.write(keys::kOggSample, ogg.sampleRate);
    store.write(keys::kOggChannels, ogg.channels);
    store.write(keys::kOggEnableCbr, ogg.cbr);
    store.write(keys::kOggEnableBbr, ogg.bbr);
    store.write(keys::kOggEnableVbr, ogg.vbr);
    store.write(keys::kOggBitrate, ogg.bitrate);
    store.write(keys::kOggBbrMin, ogg.bbrMin);
    store.write(keys::kOggBbrNominal, ogg.bbrNominal);
    store.write(keys::kOggBbrMax, ogg.bbrMax);
    store.write(keys::kOggVbrQuality, ogg.vbrQuality);
}

void saveWav(const SettingsStore& store, const WavSettings& wav) {
    store.write(keys::kWavSample, wav.sampleRate);
    store.write(keys::kWavChannels, wav.channels);
    store.write(keys::kWavBitrate, wav.sampleSize);
}

void saveWma(const SettingsStore& store, const WmaSettings& wma) {
    store.write(keys::kWmaSample, wma.sampleRate);
    store.write(keys::kWmaBitrate, wma.bitrate);
    store.write(keys::kWmaUseDrm, wma.drm);
}

void saveFlac(const SettingsStore& store, const FlacSettings& flac) {
    store.write(keys::kFlacLevel, flac.level);
    store.write(keys::kFlacVerify, flac.verify);
}

void saveOpus(const SettingsStore& store, const OpusSettings& opus) {
    store.write(keys::kOpusBitrate, opus.bitrate);
}

}  // namespace

void saveNamingTemplate(const SettingsStore& store, const SettingsRecord& record) {
    store.write(keys::kOutputFormat, record.namingTemplate);
}

void saveOutputFolder(const SettingsStore& store, const SettingsRecord& record) {
    store.write(keys::kOutputFolder, record.outputFolder);
}

void saveJitterMode(const SettingsStore& store, const SettingsRecord& record) {
    store.write(keys::kJitterCorrection, record.jitterMode);
}

void saveGeneralSettings(const SettingsStore& store, const SettingsRecord& record) {
    store.write(keys::kAntiCrackle, record.antiCrackle);
    store.write(keys::kReplayGain, record.replayGain);
    store.write(keys::kId3Enable, record.id3Enable);
    store.write(keys::kOverwrite, record.overwrite);
    store.write(keys::kTestAndCopy, record.testAndCopy);
    store.write(keys::kEjectAfterRip, record.ejectAfterRip);
    saveOutputFolder(store, record);
    saveJitterMode(store, record);
}

void saveReadOffset(const SettingsStore& store, const SettingsRecord& record,
                    const std::string& model) {
    const auto found = record.readOffsets.find(model);
    if (found == record.readOffsets.end() || found->second == 0) {
        store.deleteKey(keys::kReadOffsetSection, model);
    } else {
        store.writeInt(keys::kReadOffsetSection, model, found->second);
    }
}

void saveEncoderSettings(const SettingsStore& store, const SettingsRecord& record,
                         bool applyEncoderToListedTracks) {
    store.write(keys::kEffective, applyEncoderToListedTracks);
    saveMp3(store, record.encoder.mp3);
    saveOgg(store, record.encoder.ogg);
    saveWav(store, record.encoder.wav);
    saveWma(store, record.encoder.wma);
    saveFlac(store, record.encoder.flac);
    saveOpus(store, record.encoder.opus);
}

void saveLocalDatabaseFolder(const SettingsStore& store, const SettingsRecord& record) {
    store.write(keys::kCddbLocalPath, record.cddb.localDatabaseFolder);
}

void saveCddbSettings(const SettingsStore& store, const SettingsRecord& record) {
    const CddbSettings& cddb = record.cddb;
    store.write(keys::kCddbUseLocal, cddb.useLocalDatabase);
    saveLocalDatabaseFolder(store, record);
    store.write(keys::kCddbAuto, record.cddbAuto);
    store.write(keys::kProxyEnable, cddb.useProxy);
    store.write(keys::kProxySavePassword, cddb.savePassword);
    store.write(keys::kProxyServer, cddb.proxyHost);
    store.write(keys::kProxyPort, cddb.proxyPort);
    store.write(keys::kProxyUser, cddb.proxyUser);
    store.write(keys::kProxyPasswordKey, cddb.savePassword ? cddb.proxyPassword : "0");
    store.writeString(keys::kCddbSection, keys::kCddbEmailName, cddb.email);
    store.write(keys::kMusicBrainzEnable, record.musicBrainz.enabled);
    store.write(keys::kCoverArtEnable, record.musicBrainz.coverArt);
}

}  // namespace lumbra
