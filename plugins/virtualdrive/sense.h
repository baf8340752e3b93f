// How a virtual drive command ends: GOOD, CHECK CONDITION with fixed-format sense, or a transfer
// that the host adapter could not fit into the caller's buffer.
#pragma once

#include <cstdint>

namespace lumbra::virtualdrive {

struct Sense {
    uint8_t key = 0;
    uint8_t asc = 0;
    uint8_t ascq = 0;
    friend bool operator==(const Sense&, const Sense&) = default;
};

inline constexpr Sense kMediumNotPresent{0x02, 0x3A, 0x00};
inline constexpr Sense kUnrecoveredReadError{0x03, 0x11, 0x00};
inline constexpr Sense kInternalTargetFailure{0x04, 0x44, 0x00};
inline constexpr Sense kParameterListLengthError{0x05, 0x1A, 0x00};
inline constexpr Sense kInvalidOpcode{0x05, 0x20, 0x00};
inline constexpr Sense kLbaOutOfRange{0x05, 0x21, 0x00};
inline constexpr Sense kInvalidFieldInCdb{0x05, 0x24, 0x00};
inline constexpr Sense kInvalidFieldInParameterList{0x05, 0x26, 0x00};
inline constexpr Sense kIllegalModeForTrack{0x05, 0x64, 0x00};
inline constexpr Sense kMediumRemovalPrevented{0x05, 0x53, 0x02};

struct CommandOutcome {
    enum class Kind { Good, CheckCondition, DataOverrun };
    Kind kind = Kind::Good;
    Sense sense;

    static CommandOutcome good() { return {}; }
    static CommandOutcome checkCondition(Sense sense) { return {Kind::CheckCondition, sense}; }
    static CommandOutcome dataOverrun() { return {Kind::DataOverrun, {}}; }
};

}  // namespace lumbra::virtualdrive
