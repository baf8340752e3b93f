#include "app/track_row_texts.h"

#include <cstdio>

#include "metadata/track_credits.h"
#include "rip/track_status.h"
#include "settings/encoder_settings.h"
#include "settings/value_lists.h"

namespace lumbra {
namespace {

template <typename... Args>
std::string format(const char* pattern, Args... args) {
    char text[96];
    std::snprintf(text, sizeof text, pattern, args...);
    return text;
}

std::string oggDetail(const OggSettings& s) {
    if (s.bbr) {
        return format("- [ %d-%d kbps BBR ]", listValue(kOggBitrates, s.bbrNominal, 0),
                      listValue(kOggBitrates, s.bbrMax, 0));
    }
    if (s.vbr) {
        return format("- [ VBR Q%.02f (%d kbps) ]", double(oggQualityValue(s.vbrQuality)),
                      oggQualityKbps(s.vbrQuality));
    }
    return format("- [ %d kbps ]", listValue(kOggBitrates, s.bitrate, 0));
}

std::string mp3Detail(const Mp3Settings& s) {
    if (s.vbr) {
        return format("- [ %d-%d kbps VBR Q%d ]", listValue(kMp3Bitrates, s.bitrate, 0),
                      listValue(kMp3Bitrates, s.vbrMax, 0), s.vbrQuality);
    }
    return format("- [ %d kbps ]", listValue(kMp3Bitrates, s.bitrate, 0));
}

}  // namespace

std::string rowTitle(const TrackEntry& track, bool dataTrack) {
    const std::string title = creditedTitle(track);
    return dataTrack ? title + "（数据音轨）" : title;
}

std::string durationText(int32_t seconds) {
    return format("%02d:%02d", seconds / 60, seconds % 60);
}

std::string encoderSummary(const TrackEntry& track) {
    const EncoderSlots& slots = track.encoderSettings;
    switch (track.format) {
        case kFormatWav:
            return "WAV " + format("- [ %d Hz ]", listValue(kWavSampleRates, slots[0], 0));
        case kFormatOgg:
            return "OGG " + oggDetail(oggFromSlots(slots));
        case kFormatMp3:
            return "MP3 " + mp3Detail(mp3FromSlots(slots));
        case kFormatWma:
            // The stored rights-management flag is not shown: no file we write carries any.
            return "WMA " +
                   format("- [ %d kbps ]", listValue(kWmaBitrates, wmaFromSlots(slots).bitrate, 0));
        case kFormatFlac:
            return "FLAC " +
                   format("- [ 级别 %d ]", listValue(kFlacLevels, flacFromSlots(slots).level, 0));
        case kFormatOpus:
            return "OPUS " + format("- [ %d kbps ]",
                                    listValue(kOpusBitrates, opusFromSlots(slots).bitrate, 0));
        default:
            return "未知";
    }
}

std::string progressText(int32_t status) {
    if (status < 100) return format("%d%%", status);
    if (status == 100) return "已完成";
    if (status == 101) return "已停止";
    return "错误";
}

std::string verificationText(const TrackEntry& track) {
    if (track.status != kTrackDone) return "";
    const AccurateRipVerdict& verdict = track.verification.verdict;
    // The database proves a track right whatever its test read gave.
    if (verdict.result != AccurateRipResult::Accurate && track.verification.readsDiffer()) {
        return "读取不一致";
    }
    switch (verdict.result) {
        case AccurateRipResult::Accurate:
            return format("准确 (置信度 %d)", verdict.confidence);
        case AccurateRipResult::Mismatch:
            return "不匹配";
        case AccurateRipResult::NotInDatabase:
            return "不在数据库";
        case AccurateRipResult::Unavailable:
            return "无法校验";
        case AccurateRipResult::None:
            break;
    }
    return "";
}

std::string ripClockText(int seconds) {
    return format("[%02d:%02d:%02d]  正在抓取..", seconds / 3600, seconds % 3600 / 60,
                  seconds % 60);
}

}  // namespace lumbra
