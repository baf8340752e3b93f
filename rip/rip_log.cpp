#include "rip/rip_log.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "cdaccess/cd_frame.h"
#include "cdaccess/rip_reads.h"
#include "metadata/track_credits.h"
#include "naming/path_tidying.h"
#include "platform/atomic_file.h"
#include "rip/track_status.h"

namespace lumbra {
namespace {

template <typename... Args>
std::string format(const char* pattern, Args... args) {
    char text[128];
    std::snprintf(text, sizeof text, pattern, args...);
    return text;
}

std::string msf(int32_t frames) {
    return format("%02d:%02d:%02d", frames / (60 * kFramesPerSecond),
                  frames / kFramesPerSecond % 60, frames % kFramesPerSecond);
}

const char* jitterWords(int32_t mode) {
    switch (mode) {
        case kJitterNever:
            return "never";
        case kJitterAlways:
            return "always";
        default:
            return "after a failed read";
    }
}

const char* statusWords(int32_t status) {
    switch (status) {
        case kTrackDone:
            return "done";
        case kTrackFailed:
            return "failed";
        default:
            return "cancelled";
    }
}

bool accurate(const TrackEntry& track) {
    return track.status == kTrackDone &&
           track.verification.verdict.result == AccurateRipResult::Accurate;
}

std::string headerLines(const RipLogHeader& h) {
    std::string text = h.program + " rip log\n";
    text += "Date: " + h.date + "\n";
    text += "Drive: " + h.drive + "\n";
    text += h.readMethod ? format("Read method: %d\n", h.readMethod)
                         : std::string("Read method: detected\n");
    text += std::string("Jitter correction: ") + jitterWords(h.jitterMode) + "\n";
    text += std::string("Anti-crackle: ") + (h.antiCrackle ? "on" : "off") + "\n";
    text += format("Read offset correction: %+d\n", h.readOffset);
    text += "AccurateRip disc ID: " + h.fingerprint + "\n";
    text += std::string("AccurateRip lookup: ") + (h.lookupEnabled ? "on" : "off") + "\n";
    if (!h.catalogue.empty()) text += "Catalogue number: " + h.catalogue + "\n";
    return text;
}

std::string trackLines(const LoggedTrack& logged) {
    const TrackEntry& t = *logged.track;
    const TrackVerification& v = t.verification;
    std::string text = format("\nTrack %d\n", t.number);
    text += "  File: " + logged.outputPath + "\n";
    text += format("  Start: %d (%s)\n", t.start, msf(t.start).c_str());
    text += format("  Length: %d (%s)\n", t.length, msf(t.length).c_str());
    if (!t.isrc.empty()) text += "  ISRC: " + t.isrc + "\n";
    text += std::string("  Status: ") + statusWords(t.status) + "\n";
    if (!v.measured) return text;
    text += format("  CRC32: %08X\n  AccurateRip v1: %08X\n  AccurateRip v2: %08X\n", v.sums.crc32,
                   v.sums.v1, v.sums.v2);
    if (v.testCrc32) {
        text += format("  Test CRC32: %08X (%s)\n", *v.testCrc32,
                       v.readsDiffer() ? "the two reads differ" : "the two reads agree");
    }
    if (v.verdict.result != AccurateRipResult::None) {
        text += "  AccurateRip: " + verdictWords(v.verdict) +
                (v.verdict.result == AccurateRipResult::Accurate
                     ? (v.verdict.matchedV2 ? " (v2)" : " (v1)")
                     : "") +
                "\n";
    }
    text += format("  Frames re-read: %d\n  Frames in error: 0\n", v.framesReRead);
    text += format("  Silent samples beyond the disc: %lld\n", (long long)v.silentSamples);
    return text;
}

std::string cueText(std::string text) {
    std::replace(text.begin(), text.end(), '"', '\'');
    return "\"" + text + "\"";
}

std::string fileType(const std::string& path) {
    if (path.ends_with(".mp3")) return "MP3";
    return "WAVE";
}

std::string fileName(const std::string& path) {
    return path.substr(path.find_last_of('/') + 1);
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

std::string recordName(const DiscRecord& disc) {
    std::string name = tidyOutputName(disc.album);
    std::replace(name.begin(), name.end(), '\\', '_');
    return name.empty() ? "album" : name;
}

}  // namespace

std::string verdictWords(const AccurateRipVerdict& verdict) {
    switch (verdict.result) {
        case AccurateRipResult::Accurate:
            return "accurate " + std::to_string(verdict.confidence);
        case AccurateRipResult::Mismatch:
            return "mismatch";
        case AccurateRipResult::NotInDatabase:
            return "not-in-database";
        case AccurateRipResult::Unavailable:
            return "unavailable";
        case AccurateRipResult::None:
            break;
    }
    return "";
}

std::string ripLogText(const RipLogHeader& header, std::span<const LoggedTrack> tracks) {
    std::string text = headerLines(header);
    size_t accurateTracks = 0;
    for (const LoggedTrack& logged : tracks) {
        text += trackLines(logged);
        if (accurate(*logged.track)) ++accurateTracks;
    }
    text += !tracks.empty() && accurateTracks == tracks.size()
                ? "\nAll tracks accurate\n"
                : format("\nNot all tracks accurate (%zu of %zu)\n", accurateTracks, tracks.size());
    return text;
}

std::string cueSheetText(const DiscRecord& disc, std::span<const LoggedTrack> tracks) {
    std::string text =
        "PERFORMER " + cueText(disc.artist) + "\nTITLE " + cueText(disc.album) + "\n";
    if (!disc.catalogue.empty()) text += "CATALOG " + disc.catalogue + "\n";
    int number = 0;
    for (const LoggedTrack& logged : tracks) {
        if (logged.track->status != kTrackDone) continue;
        text += "FILE " + cueText(fileName(logged.outputPath)) + " " + fileType(logged.outputPath) +
                "\n";
        text += format("  TRACK %02d AUDIO\n", ++number);
        text += "    TITLE " + cueText(logged.track->title) + "\n";
        text += "    PERFORMER " + cueText(trackArtist(*logged.track, disc)) + "\n";
        if (!logged.track->isrc.empty()) text += "    ISRC " + logged.track->isrc + "\n";
        text += "    INDEX 01 00:00:00\n";
    }
    return text;
}

bool writeRipRecords(const RipLogHeader& header, const DiscRecord& disc,
                     std::span<const LoggedTrack> tracks) {
    // A stopped track left no file to describe; a failed one did not either, but the log says so.
    std::map<std::string, std::vector<LoggedTrack>> byFolder;
    for (const LoggedTrack& logged : tracks) {
        if (logged.track->status == kTrackDone || logged.track->status == kTrackFailed) {
            byFolder[folderOf(logged.outputPath)].push_back(logged);
        }
    }
    const std::string name = recordName(disc);
    bool written = true;
    for (const auto& [folder, inFolder] : byFolder) {
        const bool anyDone = std::any_of(inFolder.begin(), inFolder.end(), [](const auto& t) {
            return t.track->status == kTrackDone;
        });
        if (!anyDone) continue;  // a folder the rip left empty stays so
        written &=
            platform::replaceFileAtomically(folder + name + ".log", ripLogText(header, inFolder));
        written &=
            platform::replaceFileAtomically(folder + name + ".cue", cueSheetText(disc, inFolder));
    }
    return written;
}

}  // namespace lumbra
