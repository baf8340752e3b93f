#include "cli/settings_report.h"

#include "settings/value_lists.h"

namespace lumbra::cli {
namespace {

std::string shown(std::span<const ListItem> list, int32_t index) {
    return listIndexOrNone(list, index) < 0 ? std::string("(none)")
                                            : std::string(list[size_t(index)].text);
}

std::string onOff(bool value) {
    return value ? "on" : "off";
}

void addLine(std::string& out, std::string_view name, std::string_view value) {
    out.append(name).append(": ").append(value).append("\n");
}

void addEncoderLines(std::string& out, const EncoderSettings& e) {
    addLine(out, "mp3",
            shown(kMp3SampleRates, e.mp3.sampleRate) + ", " +
                shown(kMp3ChannelModes, e.mp3.channelMode) + ", " +
                shown(kMp3Bitrates, e.mp3.bitrate) + ", preset " +
                shown(kMp3QualityPresets, e.mp3.preset) + ", VBR " + onOff(e.mp3.vbr) + " max " +
                shown(kMp3Bitrates, e.mp3.vbrMax) + " " +
                shown(kMp3VbrQualities, e.mp3.vbrQuality));
    addLine(out, "ogg",
            shown(kOggSampleRates, e.ogg.sampleRate) + ", " + shown(kOggChannels, e.ogg.channels) +
                ", VBR " + onOff(e.ogg.vbr) + " " + oggQualityText(e.ogg.vbrQuality) + ", BBR " +
                onOff(e.ogg.bbr));
    addLine(out, "wav",
            shown(kWavSampleRates, e.wav.sampleRate) + ", " + shown(kWavChannels, e.wav.channels) +
                ", " + shown(kWavSampleSizes, e.wav.sampleSize));
    const int wmaKbps = listValue(kWmaBitrates, e.wma.bitrate, 0);
    const auto rates = wmaRatesForBitrate(wmaKbps);
    const std::string rate = e.wma.sampleRate < 0
                                 ? std::string("(none)")
                                 : std::to_string(rates.rates[size_t(e.wma.sampleRate)]) + " Hz";
    // The stored rights-management flag is left out: no file we write carries any.
    addLine(out, "wma", shown(kWmaBitrates, e.wma.bitrate) + ", " + rate);
    addLine(out, "flac",
            "level " + shown(kFlacLevels, e.flac.level) + ", verify " + onOff(e.flac.verify));
    addLine(out, "opus", shown(kOpusBitrates, e.opus.bitrate) + ", VBR");
}

}  // namespace

std::string settingsReport(const SettingsRecord& record, const LoadedSettings& loaded) {
    std::string out;
    addLine(out, "output folder", record.outputFolder);
    addLine(out, "naming template", record.namingTemplate);
    addLine(out, "id3 tag", onOff(record.id3Enable));
    addLine(out, "overwrite", onOff(record.overwrite));
    addLine(out, "anti-crackle", onOff(record.antiCrackle));
    addLine(out, "replaygain", onOff(record.replayGain));
    addLine(out, "jitter mode", std::to_string(record.jitterMode));
    addLine(out, "test and copy", onOff(record.testAndCopy));
    addLine(out, "eject after rip", onOff(record.ejectAfterRip));
    addLine(out, "encoder threads",
            record.encoderThreads ? std::to_string(record.encoderThreads) : "automatic");
    addEncoderLines(out, record.encoder);
    for (const auto& server : loaded.cddbServers) addLine(out, "cddb server", server.displayText());
    addLine(out, "cddb auto", onOff(record.cddbAuto));
    addLine(out, "local database",
            onOff(record.cddb.useLocalDatabase) + ", " + record.cddb.localDatabaseFolder);
    addLine(out, "proxy", onOff(record.cddb.useProxy));
    return out;
}

}  // namespace lumbra::cli
