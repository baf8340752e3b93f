// What the rip job needs to check its tracks against the AccurateRip database and to write the
// rip log: the disc's fingerprint, which tracks hold audio, the client's configuration and the
// lookup, fetched by the disc's first rip and kept for the next ones.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "metadata/accuraterip_client.h"
#include "metadata/accuraterip_id.h"
#include "metadata/accuraterip_verdict.h"

namespace lumbra {

struct RipVerification {
    bool lookupEnabled = false;
    AccurateRipConfig config;
    AccurateRipDiscId disc;
    // Per track list position: the audio track number from 1, or 0 for a data track.
    std::vector<int> audioNumbers;
    // Set on the rip's thread by the first rip of the disc that looks it up; the session keeps
    // it (and touches it only between rips) until the disc changes.
    std::optional<AccurateRipLookup> lookup;
    std::string driveDescription;  // for the rip log
};

// The fingerprint and audio track numbers of a table of contents in LBA form.
RipVerification verificationOfDisc(const TocBuffer& lbaToc);

// Looks the disc up unless that is off or done. A lookup that the configuration's stop event cut
// short is not kept.
void lookUpOnce(RipVerification& verification);

}  // namespace lumbra
