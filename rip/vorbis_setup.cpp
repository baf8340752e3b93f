#include "rip/vorbis_setup.h"

#include <cstdio>

#include "settings/value_lists.h"

namespace lumbra {
namespace {

long bitrateAt(int32_t index) {
    const int kbps = listValue(kOggBitrates, index, 0);
    return kbps > 0 ? long(kbps) * 1000 : kNoBitrate;
}

std::string kbpsText(long bitrate) {
    return bitrate > 0 ? std::to_string(bitrate / 1000) + " kbps" : "未设置";
}

std::string modeText(const VorbisSetUp& s) {
    char text[48];
    switch (s.mode) {
        case VorbisMode::Vbr:
            std::snprintf(text, sizeof text, "VBR 质量 %.2f", double(s.quality));
            return text;
        case VorbisMode::Bbr:
            return "BBR 最小 " + kbpsText(s.minBitrate) + " / 标称 " + kbpsText(s.nominalBitrate) +
                   " / 最大 " + kbpsText(s.maxBitrate);
        case VorbisMode::Cbr:
            return "CBR " + kbpsText(s.nominalBitrate);
    }
    return {};
}

}  // namespace

VorbisSetUp vorbisSetUpOf(const OggSettings& settings) {
    VorbisSetUp s;
    s.channels = settings.channels == 0 ? 1 : 2;
    s.sampleRate = listValue(kOggSampleRates, settings.sampleRate, 44100);
    if (settings.vbr) {
        s.mode = VorbisMode::Vbr;
        s.quality = oggQualityValue(settings.vbrQuality);
    } else if (settings.bbr) {
        s.mode = VorbisMode::Bbr;
        s.minBitrate = bitrateAt(settings.bbrMin);
        s.nominalBitrate = bitrateAt(settings.bbrNominal);
        s.maxBitrate = bitrateAt(settings.bbrMax);
    } else {
        // The CBR flag is not consulted: with VBR and BBR both off the rate is constant.
        s.mode = VorbisMode::Cbr;
        s.minBitrate = s.nominalBitrate = s.maxBitrate = bitrateAt(settings.bitrate);
    }
    return s;
}

bool hasContradictoryBounds(const VorbisSetUp& s) {
    return s.minBitrate > 0 && s.maxBitrate > 0 && s.minBitrate > s.maxBitrate;
}

std::string describeVorbisSetUp(const VorbisSetUp& s) {
    return modeText(s) + ", " + std::to_string(s.sampleRate) + " Hz, " +
           (s.channels == 1 ? "单声道" : "立体声");
}

VorbisComments vorbisCommentsFor(const TagValues& tags) {
    VorbisComments comments{{"ENCODER", kEncoderName}};
    const std::pair<const char*, const std::string*> optional[] = {
        {"TITLE", &tags.title},      {"ARTIST", &tags.artist}, {"ALBUMARTIST", &tags.albumArtist},
        {"ALBUM", &tags.album},      {"DATE", &tags.year},     {"ISRC", &tags.isrc},
        {"BARCODE", &tags.catalogue}};
    for (const auto& [tag, value] : optional) {
        if (!value->empty()) comments.emplace_back(tag, *value);
    }
    comments.emplace_back("GENRE", tags.genre);
    comments.emplace_back("TRACKNUMBER", std::to_string(tags.number));
    comments.emplace_back("TRACKTOTAL", std::to_string(tags.total));
    return comments;
}

}  // namespace lumbra
