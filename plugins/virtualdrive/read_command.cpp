#include "plugins/virtualdrive/read_command.h"

#include "plugins/virtualdrive/mmc_opcodes.h"

namespace lumbra::virtualdrive {
namespace {

uint32_t bigEndian(std::span<const uint8_t> bytes) {
    uint32_t value = 0;
    for (uint8_t b : bytes) value = value << 8 | b;
    return value;
}

ReadRequest request(std::initializer_list<int> methods, std::span<const uint8_t> cdb) {
    const AudioReadFields fields = audioReadFields(cdb[0]);
    ReadRequest out;
    for (int m : methods) out.methods.set(size_t(m));
    out.first = bigEndian(cdb.subspan(kReadAddressOffset, kReadAddressWidth));
    out.count = bigEndian(cdb.subspan(fields.countOffset, fields.countWidth));
    return out;
}

std::variant<ReadRequest, Sense> decodeReadCd(std::span<const uint8_t> cdb) {
    // Sub-channel data (byte 10) and C2 error bits are not simulated.
    if (cdb[10] != 0) return kInvalidFieldInCdb;
    if (cdb[9] == kReadCdUserData) return request({1}, cdb);
    if (cdb[9] == kReadCdAllHeaders) return request({2}, cdb);
    return kInvalidFieldInCdb;
}

std::variant<ReadRequest, Sense> decodeRead10(std::span<const uint8_t> cdb,
                                              const DriveModes& modes) {
    // With 2,048-byte blocks a drive reads only the user data of data sectors.
    if (modes.blockLength != kFrameBytes) return kIllegalModeForTrack;
    if (modes.blockLengthFromPageFormat) return request({8}, cdb);
    return request({3, 4}, cdb);
}

}  // namespace

bool isAudioRead(uint8_t opcode) {
    return audioReadFields(opcode).countWidth != 0;
}

std::variant<ReadRequest, Sense> decodeRead(const Cdb& block, const DriveModes& modes) {
    const std::span<const uint8_t> cdb(block);
    switch (cdb[0]) {
        case kOpReadCd:
            return decodeReadCd(cdb);
        case kOpRead10:
            return decodeRead10(cdb, modes);
        case kOpVendorReadD8:
            return request({5}, cdb);
        case kOpVendorReadD4:
            return request({modes.vendorSelect ? 7 : 6}, cdb);
        default:
            return kInvalidOpcode;
    }
}

}  // namespace lumbra::virtualdrive
