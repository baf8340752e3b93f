// CD audio that arrives in pieces of any length, handed on in whole stereo sample frames: the
// bytes of a frame cut between two pieces wait for the next piece, so an encoder that counts
// samples loses none.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

#include "cdaccess/cd_frame.h"

namespace lumbra {

class WholeSampleFrames {
public:
    // Calls `encode` with whole frames only: first the one completed from held bytes, then the
    // whole frames of `piece`. The rest of `piece` is held. False as soon as `encode` is.
    template <typename Encode>
    bool take(std::span<const uint8_t> piece, Encode&& encode) {
        if (heldBytes_ > 0) {
            const size_t used = std::min(piece.size(), frame_.size() - heldBytes_);
            std::copy_n(piece.begin(), used, frame_.begin() + std::ptrdiff_t(heldBytes_));
            heldBytes_ += used;
            piece = piece.subspan(used);
            if (heldBytes_ < frame_.size()) return true;
            heldBytes_ = 0;
            if (!encode(std::span<const uint8_t>(frame_))) return false;
        }
        const size_t whole = piece.size() - piece.size() % frame_.size();
        heldBytes_ = piece.size() - whole;
        std::copy(piece.begin() + std::ptrdiff_t(whole), piece.end(), frame_.begin());
        return whole == 0 || encode(piece.first(whole));
    }

    // Bytes of an unfinished frame (0 when the audio so far ends on a frame).
    size_t heldBytes() const { return heldBytes_; }

private:
    std::array<uint8_t, kCdSampleBytes> frame_{};  // the unfinished frame's bytes so far
    size_t heldBytes_ = 0;
};

}  // namespace lumbra
