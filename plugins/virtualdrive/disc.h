// A disc in a virtual drive: its table of contents and the audio of its audio tracks, seen as
// one stream of 16-bit stereo samples from frame 0 on.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "cdaccess/cd_frame.h"

namespace lumbra::virtualdrive {

inline constexpr int kMaxTracks = 99;
// The last address that MSF form can express (99:59:74) less the lead-in.
inline constexpr uint32_t kMaxDiscFrames = (99 * 60 + 59) * kFramesPerSecond + 74 - kLeadInFrames;

// The lead-out of a first session and the lead-in and first pregap of the next one: what lies
// on an Enhanced CD between its last audio track and its data track.
inline constexpr uint32_t kSessionGapFrames = 11400;

struct FrameRange {
    uint32_t first = 0;
    uint32_t count = 0;
};

struct DiscTrack {
    uint32_t start = 0;  // first frame of INDEX 01
    bool data = false;
};

class AudioSource {
public:
    virtual ~AudioSource() = default;
    // Fills `out` from byte `offset` of the disc's audio stream. Bytes before the disc, past its
    // end and inside data tracks are zeros. False when the backing storage cannot be read.
    virtual bool read(int64_t offset, std::span<uint8_t> out) const = 0;
};

// Text that a disc carries as CD-Text, in UTF-8.
struct TextFields {
    std::string title;
    std::string performer;
    std::string songwriter;
};

// What the disc says about itself: CD-Text in its lead-in, codes in its Q sub-channel.
struct DiscTexts {
    TextFields album;
    std::vector<TextFields> tracks;  // track 1 first; may be shorter than the track list
    uint16_t genreCode = 0;          // CD-Text genre code, 0 for none
    std::string catalogue;           // UPC/EAN, empty for none
    std::vector<std::string> isrcs;  // track 1 first, empty for none

    bool hasCdText() const;
};

struct Disc {
    std::vector<DiscTrack> tracks;  // track 1 first, at most kMaxTracks
    uint32_t leadOut = 0;           // first frame after the last track
    // Between sessions: no read reaches into them.
    std::vector<FrameRange> unreadable;
    std::unique_ptr<AudioSource> audio;
    DiscTexts texts;

    // True when `frame` lies in a data track (frames before track 1 count as the first track's).
    bool isDataFrame(uint32_t frame) const;
    // True when any frame of [first, first + count) lies in a data track.
    bool coversDataFrame(uint32_t first, uint32_t count) const;
    // True when any frame of [first, first + count) lies between sessions.
    bool coversUnreadableFrame(uint32_t first, uint32_t count) const;
};

}  // namespace lumbra::virtualdrive
