// The faults a test or a demo asks the virtual drives to show, from LUMBRA_VIRTUAL_FAULTS:
// comma-separated items `jitter=N`, `seed=S`, `readerror=LBA[:COUNT]` (repeatable),
// `reject=M[/M...]`, `untouched=M[/M...]`, `delay=MS`, `signallag=MS` (a delayed completion's
// event comes this long after its status, as from a driver whose two writes are seen apart),
// `nodisc`, `cddaonly` (READ CD works only when it names the CD-DA sector type), `offset=N` (the
// drive's read offset in stereo samples: a drive with +N delivers the samples N before the ones
// asked for, as a real drive listed +N does).
#pragma once

#include <bitset>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra::virtualdrive {

// Read methods as the transport numbers them: 1 and 2 READ CD, 3 and 4 READ(10) after the plain
// block-size select, 5 vendor 0xD8, 6 and 7 vendor 0xD4 without and with its select, 8 READ(10)
// after the page-format selects.
inline constexpr int kReadMethodCount = 8;
using ReadMethodSet = std::bitset<kReadMethodCount + 1>;  // bit 0 unused

struct ReadErrorFault {
    uint32_t frame = 0;
    std::optional<uint32_t> count;  // failures before reads succeed again; none: for ever
};

struct FaultSettings {
    int jitterSamples = 0;
    uint64_t seed = 20240601;
    std::vector<ReadErrorFault> readErrors;
    ReadMethodSet rejected;
    ReadMethodSet untouched;
    std::chrono::milliseconds delay{0};
    std::chrono::milliseconds signalLag{0};
    int32_t readOffset = 0;
    bool noDisc = false;
    bool cddaSectorTypeOnly = false;
    std::vector<std::string> ignoredItems;  // items not understood, to be reported
};

FaultSettings parseFaultSettings(std::string_view text);

}  // namespace lumbra::virtualdrive
