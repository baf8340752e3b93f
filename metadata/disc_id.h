// The CDDB disc ID and the local disc key of the disc in a drive.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "cdaccess/disc_toc.h"

namespace lumbra {

// Word 0: disc ID; 1: track count n; 2..n+1: frame offsets; n+2: disc length in seconds.
inline constexpr int kDiscIdResultWords = 103;
using DiscIdResult = std::array<uint32_t, kDiscIdResultWords>;

// The sum of the decimal digits of `value` (0 for 0).
uint32_t digitSum(uint32_t value);

// The disc ID result of a table of contents in MSF form. Track counts outside 0..99 are held to
// that range, so nothing is read past the table.
DiscIdResult discIdFromToc(const TocBuffer& msfToc);

// The local disc key of a table of contents in MSF form: the packed start addresses
// (minute × 65536 + second × 256 + frame) of its audio tracks, summed.
uint32_t localDiscKeyFromToc(const TocBuffer& msfToc);

// Reads the table of contents through the handle in MSF form (the handle stays in MSF form)
// and returns its local disc key.
uint32_t localDiscKey(int handle);

// Under the handle's lock: reads the table of contents in MSF form (restoring the handle's
// address form), fills `result` and remembers the disc in the recent-disc table. 1, or 4 with
// last error -7 (bad handle) or -11 (lock time-out).
int computeDiscId(int handle, DiscIdResult& result);

// "%08x", as CDDB servers expect it.
std::string discIdText(uint32_t discId);

}  // namespace lumbra
