#include "rip/offset_detection.h"

#include <algorithm>
#include <map>
#include <unordered_map>

#include "rip/track_writing.h"

namespace lumbra {
namespace {

constexpr int64_t kEdgeSamples = 5 * int64_t(kSamplesPerFrame);
// Frames added to a track's read so that it covers both margins.
constexpr int32_t kMarginFrames = (2 * kOffsetMargin + kSamplesPerFrame - 1) / kSamplesPerFrame;

uint32_t wordAt(const uint8_t* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
           uint32_t(bytes[3]) << 24;
}

// The highest confidence under which the database holds each checksum of the track.
std::unordered_map<uint32_t, int> checksumsOf(const AccurateRipLookup& lookup, int audioNumber) {
    std::unordered_map<uint32_t, int> checksums;
    for (const AccurateRipPressing& pressing : lookup.pressings) {
        if (audioNumber < 1 || size_t(audioNumber) > pressing.tracks.size()) continue;
        const AccurateRipTrack& track = pressing.tracks[size_t(audioNumber) - 1];
        if (track.confidence <= 0) continue;
        int& best = checksums[track.checksum];
        best = std::max(best, track.confidence);
    }
    return checksums;
}

// Reads the track from kOffsetMargin samples before its start to as many past its end.
std::optional<OffsetSearch> readWithMargins(const RipSession& session, const TrackEntry& track,
                                            MarginRead& read) {
    RipSession wide = session;
    wide.correction.samples = -kOffsetMargin;
    TrackEntry probe = track;
    probe.length += kMarginFrames;
    const RipHandle handle(session.drive);
    if (!handle.get()) return OffsetSearch::ReadFailed;
    RipContext context;
    context.track = &probe;
    read.words.reserve(size_t(probe.length) * kSamplesPerFrame);
    // Every piece holds whole samples: reads and silence come in whole frames, trimmed by samples.
    const auto keep = [&read](std::span<const uint8_t> bytes) {
        for (size_t i = 0; i + 4 <= bytes.size(); i += 4) read.words.push_back(wordAt(&bytes[i]));
        return true;
    };
    switch (readTrackChunks(
        wide, context, handle.get(), [](int32_t) {}, keep)) {
        case ReadOutcome::Complete:
            return std::nullopt;
        case ReadOutcome::Cancelled:
            return OffsetSearch::Stopped;
        default:
            return OffsetSearch::ReadFailed;
    }
}

OffsetSearch searchOutcome(const AccurateRipLookup& lookup) {
    switch (lookup.outcome) {
        case AccurateRipLookup::Outcome::Found:
            return OffsetSearch::Found;
        case AccurateRipLookup::Outcome::NotInDatabase:
            return OffsetSearch::NotInDatabase;
        default:
            return OffsetSearch::Unavailable;
    }
}

}  // namespace

std::vector<uint32_t> slidingV1(const MarginRead& read) {
    const int64_t margin = kOffsetMargin;
    std::vector<uint32_t> sums(size_t(2 * margin + 1));
    const int64_t from = read.firstAudio ? kEdgeSamples : 1;
    const int64_t to = read.lastAudio ? int64_t(read.samples) - kEdgeSamples : read.samples;
    if (to < from || int64_t(read.words.size()) < 2 * margin + to) return sums;
    const uint32_t* w = read.words.data();
    uint32_t weighted = 0;
    uint32_t plain = 0;
    for (int64_t j = from; j <= to; ++j) {
        weighted += uint32_t(j) * w[j - 1];
        plain += w[j - 1];
    }
    // Moving one sample on drops the window's first sample, weighted by `from`, and takes the
    // next one in at weight `to`; every sample in between loses one weight, the plain sum.
    for (int64_t step = 0;; ++step) {
        sums[size_t(step)] = weighted;
        if (step == 2 * margin) break;
        const uint32_t leaving = w[step + from - 1];
        const uint32_t entering = w[step + to];
        weighted += uint32_t(to) * entering - uint32_t(from - 1) * leaving - plain;
        plain += entering - leaving;
    }
    return sums;
}

std::vector<OffsetCandidate> matchingOffsets(const std::vector<MarginRead>& reads,
                                             const AccurateRipLookup& lookup, int minimumTracks) {
    std::map<int32_t, OffsetCandidate> found;
    for (const MarginRead& read : reads) {
        const auto checksums = checksumsOf(lookup, read.audioNumber);
        if (checksums.empty()) continue;
        const std::vector<uint32_t> sums = slidingV1(read);
        for (size_t i = 0; i < sums.size(); ++i) {
            const auto match = checksums.find(sums[i]);
            if (match == checksums.end()) continue;
            const int32_t offset = int32_t(i) - kOffsetMargin;
            OffsetCandidate& candidate = found[offset];
            candidate.offset = offset;
            candidate.confidence =
                candidate.tracks ? std::min(candidate.confidence, match->second) : match->second;
            ++candidate.tracks;
        }
    }
    std::vector<OffsetCandidate> candidates;
    for (const auto& [offset, candidate] : found) {
        if (candidate.tracks >= minimumTracks) candidates.push_back(candidate);
    }
    std::stable_sort(candidates.begin(), candidates.end(), [](const auto& a, const auto& b) {
        return a.tracks != b.tracks ? a.tracks > b.tracks : a.confidence > b.confidence;
    });
    return candidates;
}

OffsetDetection detectReadOffset(const RipSession& session, std::vector<TrackEntry>& tracks,
                                 RipVerification& verification, int tracksToRead) {
    if (!verification.lookup) {
        verification.lookup = fetchAccurateRip(verification.config, verification.disc);
    }
    OffsetDetection detection;
    detection.outcome = searchOutcome(*verification.lookup);
    if (detection.outcome != OffsetSearch::Found) return detection;
    std::vector<MarginRead> reads;
    const auto& numbers = verification.audioNumbers;
    for (size_t i = 0; i < tracks.size() && i < numbers.size(); ++i) {
        if (numbers[i] == 0 || int(reads.size()) == tracksToRead) continue;
        MarginRead& read = reads.emplace_back();
        read.audioNumber = numbers[i];
        read.firstAudio = numbers[i] == 1;
        read.lastAudio = numbers[i] == verification.disc.audioTracks;
        read.samples = uint32_t(tracks[i].length) * kSamplesPerFrame;
        if (const auto failed = readWithMargins(session, tracks[i], read)) {
            detection.outcome = *failed;
            return detection;
        }
    }
    detection.candidates =
        matchingOffsets(reads, *verification.lookup, std::min(2, std::max(1, int(reads.size()))));
    if (detection.candidates.empty()) detection.outcome = OffsetSearch::NoMatch;
    return detection;
}

}  // namespace lumbra
