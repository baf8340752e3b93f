#include "plugins/virtualdrive/drive_modes.h"

#include "plugins/virtualdrive/mmc_opcodes.h"

namespace lumbra::virtualdrive {
namespace {

constexpr size_t kHeaderBytes = 4;
constexpr size_t kBlockDescriptorBytes = 8;

}  // namespace

CommandOutcome applyModeSelect(const Cdb& cdb, std::span<const uint8_t> buffer, DriveModes& modes) {
    const size_t listLength = cdb[4];
    if (listLength == 0) return CommandOutcome::good();
    if (listLength > buffer.size()) return CommandOutcome::dataOverrun();
    if (listLength < kHeaderBytes) return CommandOutcome::checkCondition(kParameterListLengthError);
    const size_t descriptorLength = buffer[3];
    if (kHeaderBytes + descriptorLength > listLength) {
        return CommandOutcome::checkCondition(kParameterListLengthError);
    }
    if (descriptorLength < kBlockDescriptorBytes) {
        modes.vendorSelect = true;
        return CommandOutcome::good();
    }
    const uint8_t* descriptor = buffer.data() + kHeaderBytes;
    const uint32_t blockLength = uint32_t(descriptor[5]) << 16 | descriptor[6] << 8 | descriptor[7];
    if (blockLength != kFrameBytes && blockLength != kCookedBlockBytes) {
        return CommandOutcome::checkCondition(kInvalidFieldInParameterList);
    }
    modes.blockLength = blockLength;
    modes.blockLengthFromPageFormat = (cdb[1] & kModeSelectPageFormatBit) != 0;
    modes.vendorSelect = false;
    return CommandOutcome::good();
}

}  // namespace lumbra::virtualdrive
