#include "metadata/disc_id.h"

#include <algorithm>
#include <cstdio>
#include <span>

#include "cdaccess/cd_access.h"
#include "cdaccess/cd_access_errors.h"
#include "cdaccess/cd_frame.h"
#include "cdaccess/slot_access.h"
#include "metadata/recent_disc_table.h"

namespace lumbra {
namespace {

constexpr int kMaxTracks = kMaxTocDescriptors - 1;

int trackCountOf(const TocBuffer& toc) {
    return std::clamp(toc.lastTrack - toc.firstTrack + 1, 0, kMaxTracks);
}

uint32_t wholeSeconds(const TocDescriptor& d) {
    return uint32_t(d.address[1]) * 60 + d.address[2];
}

uint32_t frameOffset(const TocDescriptor& d) {
    return wholeSeconds(d) * kFramesPerSecond + d.address[3];
}

TocBuffer readMsfToc(int handle) {
    TocBuffer toc{};
    setDriveParameter(handle, kParamAddressForm, 1);
    readDiscToc(handle, toc);
    return toc;
}

}  // namespace

uint32_t digitSum(uint32_t value) {
    uint32_t sum = 0;
    for (; value > 0; value /= 10) sum += value % 10;
    return sum;
}

DiscIdResult discIdFromToc(const TocBuffer& toc) {
    DiscIdResult result{};
    const int n = trackCountOf(toc);
    uint32_t sum = 0;
    for (int i = 0; i < n; ++i) {
        result[size_t(2 + i)] = frameOffset(toc.descriptors[i]);
        sum += digitSum(wholeSeconds(toc.descriptors[i]));
    }
    const uint32_t length = wholeSeconds(toc.descriptors[n]);
    const uint32_t firstStart = wholeSeconds(toc.descriptors[0]);
    result[size_t(2 + n)] = length;
    result[0] = (sum % 255) << 24 | (length - firstStart) << 8 | uint32_t(n);
    result[1] = uint32_t(n);
    return result;
}

uint32_t localDiscKeyFromToc(const TocBuffer& toc) {
    uint32_t key = 0;
    for (int i = 0; i < trackCountOf(toc); ++i) {
        const TocDescriptor& d = toc.descriptors[i];
        if (isDataTrack(d)) continue;
        key += uint32_t(d.address[1]) << 16 | uint32_t(d.address[2]) << 8 | d.address[3];
    }
    return key;
}

uint32_t localDiscKey(int handle) {
    return localDiscKeyFromToc(readMsfToc(handle));
}

int computeDiscId(int handle, DiscIdResult& result) {
    SlotGuard guard(handle);
    if (!guard.ok()) return kResultFailed;
    const int32_t form = guard.slot().addressMsf;
    const TocBuffer toc = readMsfToc(handle);
    guard.slot().addressMsf = form;
    result = discIdFromToc(toc);
    const uint32_t n = result[1];
    const uint32_t key = localDiscKey(handle);
    guard.slot().addressMsf = form;
    rememberDisc(key, result[0], int(n), std::span<const uint32_t>(result).subspan(2, n + 1));
    return kResultDone;
}

std::string discIdText(uint32_t discId) {
    char text[9];
    std::snprintf(text, sizeof text, "%08x", discId);
    return text;
}

}  // namespace lumbra
