// The record a rip leaves beside its files: a log of how the disc was read and what each track's
// checksums and the database said, and a CUE sheet over the tracks' files, so that other tools
// can burn or verify the rip.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "metadata/disc_record.h"
#include "metadata/track_entry.h"

namespace lumbra {

struct LoggedTrack {
    const TrackEntry* track = nullptr;  // its status and verification are final
    std::string outputPath;             // native path of its file
};

struct RipLogHeader {
    std::string program;  // name and version
    std::string date;
    std::string drive;
    int readMethod = 0;  // 0: detected by the drive's test reads
    int32_t jitterMode = 0;
    bool antiCrackle = false;
    int32_t readOffset = 0;   // samples the rip corrected the drive's reads by
    std::string fingerprint;  // the AccurateRip disc ID
    bool lookupEnabled = false;
    std::string catalogue;  // the disc's UPC/EAN; empty when it has none
};

// "accurate N", "mismatch", "not-in-database", "unavailable", or "" for no verdict.
std::string verdictWords(const AccurateRipVerdict& verdict);

// The log: the header's lines, a block per track, and a last line saying whether every track is
// accurate.
std::string ripLogText(const RipLogHeader& header, std::span<const LoggedTrack> tracks);

// A sheet with one FILE per done track, named relative to the sheet's folder, numbered from 1.
std::string cueSheetText(const DiscRecord& disc, std::span<const LoggedTrack> tracks);

// Writes "<album>.log" and "<album>.cue" (the album named as the naming template names it) into
// each folder where a track of the list is done, with that folder's done and failed tracks, each
// file replaced whole. False when a file could not be written.
bool writeRipRecords(const RipLogHeader& header, const DiscRecord& disc,
                     std::span<const LoggedTrack> tracks);

}  // namespace lumbra
