#include "rip/offset_detection.h"

#include <algorithm>
#include <map>
#include <unordered_map>

#include "rip/sliding_v1.h"
#include "rip/track_read_loop.h"

namespace lumbra {
namespace {

// Frames added to a track's read so that it covers both margins.
constexpr int32_t kMarginFrames = (2 * kOffsetMargin + kSamplesPerFrame - 1) / kSamplesPerFrame;

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

// Reads the track from kOffsetMargin samples before its start to as many past its end, sliding
// the checksum over the read as it comes.
std::optional<OffsetSearch> readWithMargins(const RipSession& session, const TrackEntry& track,
                                            SlidingV1& slide) {
    RipSession wide = session;
    wide.correction.samples = -kOffsetMargin;
    TrackEntry probe = track;
    probe.length += kMarginFrames;
    const RipHandle handle(session.drive);
    if (!handle.get()) return OffsetSearch::ReadFailed;
    RipContext context;
    context.track = &probe;
    // Every piece holds whole samples: reads and silence come in whole frames, trimmed by samples.
    const auto keep = [&slide](std::span<const uint8_t> bytes) {
        slide.add(bytes);
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

std::vector<OffsetCandidate> matchingOffsets(const std::vector<MarginRead>& reads,
                                             const AccurateRipLookup& lookup, int minimumTracks) {
    std::map<int32_t, OffsetCandidate> found;
    for (const MarginRead& read : reads) {
        const auto checksums = checksumsOf(lookup, read.audioNumber);
        if (checksums.empty()) continue;
        const std::vector<uint32_t>& sums = read.sums;
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
        SlidingV1 slide(uint32_t(tracks[i].length) * kSamplesPerFrame, numbers[i] == 1,
                        numbers[i] == verification.disc.audioTracks, kOffsetMargin);
        if (const auto failed = readWithMargins(session, tracks[i], slide)) {
            detection.outcome = *failed;
            return detection;
        }
        reads.push_back({numbers[i], slide.sums()});
    }
    detection.candidates =
        matchingOffsets(reads, *verification.lookup, std::min(2, std::max(1, int(reads.size()))));
    if (detection.candidates.empty()) detection.outcome = OffsetSearch::NoMatch;
    return detection;
}

}  // namespace lumbra
