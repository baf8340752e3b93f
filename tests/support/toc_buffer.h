// Tables of contents as a drive returns them, built from where each track starts.
#pragma once

#include <cstdint>
#include <vector>

#include "cdaccess/disc_toc.h"

namespace lumbra::test {

struct TocTrack {
    int address;  // as CDDB gives it: frames with the 150-frame lead-in
    bool data = false;
};

// The tracks numbered from `firstTrack`, then the lead-out, in MSF or LBA form.
inline TocBuffer tocOf(const std::vector<TocTrack>& tracks, int leadOut, bool msf,
                       int firstTrack = 1) {
    TocBuffer toc{};
    const int n = int(tracks.size());
    const int length = 2 + 8 * (n + 1);
    toc.dataLength[0] = uint8_t(length >> 8);
    toc.dataLength[1] = uint8_t(length);
    toc.firstTrack = uint8_t(firstTrack);
    toc.lastTrack = uint8_t(firstTrack + n - 1);
    for (int i = 0; i <= n; ++i) {
        TocDescriptor& d = toc.descriptors[i];
        const int address = i < n ? tracks[size_t(i)].address : leadOut;
        d.trackNumber = uint8_t(i < n ? firstTrack + i : kLeadOutTrack);
        d.adrControl = i < n && tracks[size_t(i)].data ? 0x14 : 0x10;
        if (msf) {
            d.address[1] = uint8_t(address / 75 / 60);
            d.address[2] = uint8_t(address / 75 % 60);
            d.address[3] = uint8_t(address % 75);
        } else {
            for (int b = 0; b < 4; ++b) d.address[b] = uint8_t((address - 150) >> (24 - 8 * b));
        }
    }
    return toc;
}

}  // namespace lumbra::test
