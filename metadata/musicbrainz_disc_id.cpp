#include "metadata/musicbrainz_disc_id.h"

#include <cstdio>

#include "cdaccess/track_extent.h"
#include "metadata/sha1.h"

namespace lumbra {
namespace {

constexpr int kMaxTracks = kMaxTocDescriptors - 1;

std::string hex(int value, int digits) {
    char text[12];
    std::snprintf(text, sizeof text, "%0*X", digits, unsigned(value));
    return text;
}

// MusicBrainz's Base64: "+", "/" and "=" would need escaping in a URL.
std::string urlSafeBase64(const Sha1Digest& digest) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789._";
    std::string out;
    for (size_t i = 0; i < digest.size(); i += 3) {
        const size_t left = digest.size() - i;
        const uint32_t group = uint32_t(digest[i]) << 16 |
                               (left > 1 ? uint32_t(digest[i + 1]) << 8 : 0) |
                               (left > 2 ? digest[i + 2] : 0);
        for (size_t c = 0; c < 4; ++c) {
            out += c <= left ? kAlphabet[group >> (18 - 6 * c) & 63] : '-';
        }
    }
    return out;
}

}  // namespace

std::optional<MusicBrainzToc> musicBrainzToc(const TocBuffer& toc, bool msf) {
    const int count = toc.lastTrack - toc.firstTrack + 1;
    if (toc.firstTrack < 1 || count < 1 || count > kMaxTracks) return std::nullopt;
    int audio = count;
    while (audio > 0 && isDataTrack(toc.descriptors[audio - 1])) --audio;
    if (audio == 0) return std::nullopt;
    MusicBrainzToc out;
    out.firstTrack = toc.firstTrack;
    out.lastTrack = toc.firstTrack + audio - 1;
    for (int i = 0; i < audio; ++i) {
        out.offsets.push_back(descriptorLba(toc.descriptors[i], msf) + kLeadInFrames);
    }
    // As the track list reads such a disc: a gap the last audio track could not make room for
    // means the data is in the same session.
    const int32_t end = descriptorLba(toc.descriptors[audio], msf);
    const int32_t lastStart = descriptorLba(toc.descriptors[audio - 1], msf);
    const bool secondSession = audio < count && end - kSessionGapFrames > lastStart;
    out.leadOut = (secondSession ? end - kSessionGapFrames : end) + kLeadInFrames;
    int previous = 0;
    for (int offset : out.offsets) {
        if (offset < previous) return std::nullopt;
        previous = offset;
    }
    if (out.leadOut <= previous) return std::nullopt;
    return out;
}

std::string musicBrainzDiscId(const MusicBrainzToc& toc) {
    std::string text = hex(toc.firstTrack, 2) + hex(toc.lastTrack, 2) + hex(toc.leadOut, 8);
    for (size_t i = 0; i < size_t(kMaxTracks); ++i) {
        text += hex(i < toc.offsets.size() ? toc.offsets[i] : 0, 8);
    }
    return urlSafeBase64(sha1(text));
}

std::string musicBrainzTocParameter(const MusicBrainzToc& toc) {
    std::string text = std::to_string(toc.firstTrack) + "+" + std::to_string(toc.lastTrack) + "+" +
                       std::to_string(toc.leadOut);
    for (int offset : toc.offsets) text += "+" + std::to_string(offset);
    return text;
}

}  // namespace lumbra
