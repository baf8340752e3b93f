#include "plugins/virtualdrive/virtual_drive.h"

#include <algorithm>
#include <array>
#include <exception>

#include "plugins/virtualdrive/cd_text_reply.h"
#include "plugins/virtualdrive/sub_channel_reply.h"
#include "plugins/virtualdrive/toc_reply.h"

namespace lumbra::virtualdrive {
namespace {

constexpr std::array<uint8_t, 36> inquiryReply() {
    std::array<uint8_t, 36> reply{0x05, 0x80, 0x05, 0x02, 36 - 5};
    const char identity[] = "LUMBRA  VIRTUAL CD-ROM  1.0 ";
    for (size_t i = 0; i + 1 < sizeof identity; ++i) reply[8 + i] = uint8_t(identity[i]);
    return reply;
}

// Copies as much of `reply` as both the allocation length and the caller's buffer allow.
CommandOutcome deliver(std::span<const uint8_t> reply, size_t allocationLength,
                       std::span<uint8_t> buffer) {
    const size_t n = std::min({reply.size(), allocationLength, buffer.size()});
    std::copy_n(reply.begin(), n, buffer.begin());
    return CommandOutcome::good();
}

}  // namespace

VirtualDrive::VirtualDrive(std::shared_ptr<const Disc> disc, const FaultSettings& faults,
                           uint64_t seed)
    : disc_(std::move(disc)), faults_(faults, seed) {}

void VirtualDrive::insertDisc(std::shared_ptr<const Disc> disc) {
    std::lock_guard lock(mutex_);
    disc_ = std::move(disc);
    trayOpen_ = false;
    faults_.forgetPosition();
}

void VirtualDrive::opened() {
    std::lock_guard lock(mutex_);
    faults_.forgetPosition();
}

CommandOutcome VirtualDrive::execute(const Cdb& cdb, std::span<uint8_t> buffer) {
    std::lock_guard lock(mutex_);
    try {
        return dispatch(cdb, buffer);
    } catch (const std::exception&) {
        // Out of memory while building a reply: the drive fails the command, not the process.
        return CommandOutcome::checkCondition(kInternalTargetFailure);
    }
}

CommandOutcome VirtualDrive::dispatch(const Cdb& cdb, std::span<uint8_t> buffer) {
    const uint8_t opcode = cdb[0];
    if (isAudioRead(opcode)) return readAudio(cdb, buffer);
    switch (opcode) {
        case kOpInquiry:
            return inquiry(cdb, buffer);
        case kOpModeSelect6:
            return applyModeSelect(cdb, buffer, modes_);
        case kOpSetCdSpeed:
            return CommandOutcome::good();
        case kOpStartStopUnit:
            return startStopUnit(cdb);
        case kOpPreventAllowMediumRemoval:
            return preventAllowRemoval(cdb);
        case kOpTestUnitReady:
        case kOpPauseResume:
            return medium() ? CommandOutcome::good()
                            : CommandOutcome::checkCondition(kMediumNotPresent);
        case kOpReadToc:
            return readToc(cdb, buffer);
        case kOpReadSubChannel:
            return readSubChannel(cdb, buffer);
        default:
            return CommandOutcome::checkCondition(kInvalidOpcode);
    }
}

CommandOutcome VirtualDrive::inquiry(const Cdb& cdb, std::span<uint8_t> buffer) const {
    if (cdb[1] & kInquiryEvpdBit) return CommandOutcome::checkCondition(kInvalidFieldInCdb);
    static constexpr auto kReply = inquiryReply();
    return deliver(kReply, size_t(cdb[3]) << 8 | cdb[4], buffer);
}

CommandOutcome VirtualDrive::readToc(const Cdb& cdb, std::span<uint8_t> buffer) const {
    const Disc* disc = medium();
    if (!disc) return CommandOutcome::checkCondition(kMediumNotPresent);
    // The format field moved from byte 9 to byte 2 between drive generations, so both are
    // checked: the table of contents, and the CD-Text packs of a disc that has them.
    if ((cdb[9] & 0xC0) != 0) return CommandOutcome::checkCondition(kInvalidFieldInCdb);
    if ((cdb[2] & kReadTocFormatMask) == kReadTocFormatCdText)
        return readCdText(*disc, cdb, buffer);
    if ((cdb[2] & kReadTocFormatMask) != kReadTocFormatToc) {
        return CommandOutcome::checkCondition(kInvalidFieldInCdb);
    }
    auto reply = buildTocReply(*disc, (cdb[1] & kReadTocMsfBit) != 0, cdb[6]);
    if (const Sense* sense = std::get_if<Sense>(&reply)) {
        return CommandOutcome::checkCondition(*sense);
    }
    return deliver(std::get<std::vector<uint8_t>>(reply), size_t(cdb[7]) << 8 | cdb[8], buffer);
}

CommandOutcome VirtualDrive::readCdText(const Disc& disc, const Cdb& cdb,
                                        std::span<uint8_t> buffer) const {
    const std::vector<uint8_t> reply = discCdTextReply(disc);
    // Drives refuse the format for a disc without CD-Text.
    if (reply.empty()) return CommandOutcome::checkCondition(kInvalidFieldInCdb);
    return deliver(reply, size_t(cdb[7]) << 8 | cdb[8], buffer);
}

CommandOutcome VirtualDrive::readSubChannel(const Cdb& cdb, std::span<uint8_t> buffer) const {
    const Disc* disc = medium();
    if (!disc) return CommandOutcome::checkCondition(kMediumNotPresent);
    auto reply = buildSubChannelReply(*disc, cdb);
    if (const Sense* sense = std::get_if<Sense>(&reply)) {
        return CommandOutcome::checkCondition(*sense);
    }
    return deliver(std::get<std::vector<uint8_t>>(reply), size_t(cdb[7]) << 8 | cdb[8], buffer);
}

CommandOutcome VirtualDrive::startStopUnit(const Cdb& cdb) {
    const bool eject =
        (cdb[4] & (kStartStopLoadEjectBit | kStartStopStartBit)) == kStartStopLoadEjectBit;
    if (eject && removalPrevented_) {
        return CommandOutcome::checkCondition(kMediumRemovalPrevented);
    }
    if (cdb[4] & kStartStopLoadEjectBit) {
        trayOpen_ = (cdb[4] & kStartStopStartBit) == 0;
        faults_.forgetPosition();
    }
    return CommandOutcome::good();
}

CommandOutcome VirtualDrive::preventAllowRemoval(const Cdb& cdb) {
    removalPrevented_ = (cdb[4] & kPreventRemovalBit) != 0;
    return CommandOutcome::good();
}

CommandOutcome VirtualDrive::readAudio(const Cdb& cdb, std::span<uint8_t> buffer) {
    const Disc* disc = medium();
    if (!disc) return CommandOutcome::checkCondition(kMediumNotPresent);
    const auto decoded = decodeRead(cdb, modes_);
    if (const Sense* sense = std::get_if<Sense>(&decoded)) {
        return CommandOutcome::checkCondition(*sense);
    }
    const auto& read = std::get<ReadRequest>(decoded);
    if (faults_.rejects(read.methods)) return CommandOutcome::checkCondition(kInvalidOpcode);
    if (cdb[0] == kOpReadCd && faults_.wantsCddaSectorType() &&
        (cdb[1] & kReadCdSectorTypeMask) != kReadCdCddaSector) {
        return CommandOutcome::checkCondition(kIllegalModeForTrack);
    }
    if (read.count == 0) return CommandOutcome::good();
    if (uint64_t(read.first) + read.count > disc->leadOut) {
        return CommandOutcome::checkCondition(kLbaOutOfRange);
    }
    if (disc->coversUnreadableFrame(read.first, read.count)) {
        return CommandOutcome::checkCondition(kLbaOutOfRange);
    }
    if (disc->coversDataFrame(read.first, read.count)) {
        return CommandOutcome::checkCondition(kIllegalModeForTrack);
    }
    if (faults_.takeReadError(read.first, read.count)) {
        return CommandOutcome::checkCondition(kUnrecoveredReadError);
    }
    return deliverFrames(*disc, read, buffer);
}

CommandOutcome VirtualDrive::deliverFrames(const Disc& disc, const ReadRequest& read,
                                           std::span<uint8_t> buffer) {
    const uint64_t wanted = uint64_t(read.count) * kFrameBytes;
    const auto fits = std::min<uint64_t>(wanted, buffer.size());
    if (!faults_.leavesUntouched(read.methods)) {
        // Samples outside the disc read as silence, as the audio source gives them.
        const int64_t shift = faults_.landingShift(read.first) - faults_.readOffset();
        const int64_t offset = int64_t(read.first) * kFrameBytes + shift * 4;
        if (!disc.audio->read(offset, buffer.first(size_t(fits)))) {
            return CommandOutcome::checkCondition(kUnrecoveredReadError);
        }
    }
    faults_.readEndedAt(read.first + read.count);
    // The host adapter moves what fits and reports the rest as an overrun.
    return fits < wanted ? CommandOutcome::dataOverrun() : CommandOutcome::good();
}

}  // namespace lumbra::virtualdrive
