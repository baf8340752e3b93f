// The AccurateRip v1 checksum of a track at every candidate read offset, taken while a read of
// the track with margins on either side goes by. Only the samples that leave or enter the window
// as it slides are kept, so the track's audio is never held whole: the sum at offset k+1 follows
// from the sum at k with a running weighted sum and a running plain sum.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace lumbra {

class SlidingV1 {
public:
    // `samples`: the track's own length. The read starts `margin` samples before the track and
    // must run at least `margin` samples past its end; the candidate offsets are -margin to
    // +margin. The first and last audio tracks leave out their edges as the database does.
    SlidingV1(uint32_t samples, bool firstAudio, bool lastAudio, int32_t margin);

    // The read's next bytes in order, whole stereo samples of 4 bytes.
    void add(std::span<const uint8_t> bytes);

    // The checksum at every offset from -margin to +margin, in that order; all 0 when the read
    // stopped short of the last window or the track is too short to have a checksum.
    std::vector<uint32_t> sums() const;

private:
    // Copies the samples of the read at [base, base + count) that fall in [first, first +
    // kept.size()) into `kept`.
    static void keep(std::vector<uint32_t>& kept, int64_t first, const uint8_t* bytes, int64_t base,
                     int64_t count);

    int64_t from_;      // the window at offset -margin: the read's samples from_ to to_, counted
    int64_t to_;        // from 1, each weighted by its number
    int64_t next_ = 1;  // the number of the read's next sample
    uint32_t weighted_ = 0;
    uint32_t plain_ = 0;
    std::vector<uint32_t> leaving_;   // the read's samples from_ on, one per step
    std::vector<uint32_t> entering_;  // the read's samples past to_, one per step
};

}  // namespace lumbra
