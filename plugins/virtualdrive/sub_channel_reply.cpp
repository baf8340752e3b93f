#include "plugins/virtualdrive/sub_channel_reply.h"

#include <algorithm>
#include <string>

namespace lumbra::virtualdrive {
namespace {

constexpr size_t kReplyBytes = 24;
constexpr uint8_t kNoAudioStatus = 0x15;
constexpr uint8_t kValidBit = 0x80;
// ADR 3 (ISRC) in the high nibble; an audio track's control bits are 0.
constexpr uint8_t kIsrcAdrControl = 0x30;

std::vector<uint8_t> reply(uint8_t kind, const std::string& code, size_t length) {
    std::vector<uint8_t> out(kReplyBytes);
    out[1] = kNoAudioStatus;
    out[3] = kReplyBytes - 4;
    out[4] = kind;
    if (code.size() == length) {
        out[8] = kValidBit;
        std::copy(code.begin(), code.end(), out.begin() + 9);
    }
    return out;
}

}  // namespace

std::variant<std::vector<uint8_t>, Sense> buildSubChannelReply(const Disc& disc, const Cdb& cdb) {
    if ((cdb[2] & kSubChannelQBit) == 0) return std::vector<uint8_t>{0, kNoAudioStatus, 0, 0};
    const DiscTexts& texts = disc.texts;
    switch (cdb[3]) {
        case kSubChannelCatalogue:
            return reply(kSubChannelCatalogue, texts.catalogue, 13);
        case kSubChannelIsrc: {
            const size_t track = cdb[6];
            if (track < 1 || track > disc.tracks.size()) return kInvalidFieldInCdb;
            auto out = reply(kSubChannelIsrc,
                             track <= texts.isrcs.size() ? texts.isrcs[track - 1] : "", 12);
            out[5] = uint8_t(kIsrcAdrControl | (disc.tracks[track - 1].data ? 0x04 : 0));
            out[6] = uint8_t(track);
            return out;
        }
        default:
            return kInvalidFieldInCdb;
    }
}

}  // namespace lumbra::virtualdrive
