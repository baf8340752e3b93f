// How a track's Ogg settings become a Vorbis encoder set-up, and which comments its file carries.
// Plain values only: the encoder itself lives in vorbis_encoder.h.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "rip/tag_values.h"
#include "settings/encoder_settings.h"

namespace lumbra {

enum class VorbisMode { Vbr, Bbr, Cbr };

// A bitrate the settings leave open; libvorbis reads it as "no bound".
inline constexpr long kNoBitrate = -1;

struct VorbisSetUp {
    int channels = 2;
    int sampleRate = 44100;
    VorbisMode mode = VorbisMode::Vbr;
    float quality = 0.0f;          // VBR only
    long minBitrate = kNoBitrate;  // bit/s; BBR and CBR only
    long nominalBitrate = kNoBitrate;
    long maxBitrate = kNoBitrate;
};

// The set-up a track's settings ask for. The "5.1" channel choice gives stereo: a CD has no
// more than two channels to fill six with.
VorbisSetUp vorbisSetUpOf(const OggSettings& settings);

// True when the bounds contradict each other (a minimum above the maximum). libvorbis accepts
// such a set-up and then keeps neither bound, so it is refused before it gets there.
bool hasContradictoryBounds(const VorbisSetUp& setUp);

// The set-up as the error box names it, e.g. "BBR 最小 350 kbps / 标称 128 kbps / 最大 128 kbps,
// 44100 Hz, 立体声".
std::string describeVorbisSetUp(const VorbisSetUp& setUp);

using VorbisComments = std::vector<std::pair<std::string, std::string>>;

// The file's comments in the order they are written: ENCODER, then TITLE, ARTIST, ALBUM and
// DATE when not empty, then GENRE by name, TRACKNUMBER and TRACKTOTAL.
VorbisComments vorbisCommentsFor(const TagValues& tags);

}  // namespace lumbra
