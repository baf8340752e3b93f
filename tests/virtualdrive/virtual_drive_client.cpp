#include "virtualdrive/virtual_drive_client.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>

#include "platform/manual_reset_event.h"
#include "platform/shared_library.h"

namespace lumbra::virtualdrive::test {
namespace {

std::vector<uint8_t> be32(uint32_t v) {
    return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
}

}  // namespace

VirtualDriveModule& VirtualDriveModule::get() {
    static platform::SharedLibrary library(LUMBRA_VIRTUALDRIVE_MODULE);
    static VirtualDriveModule module = [] {
        if (!library.isLoaded()) ADD_FAILURE() << library.errorText();
        VirtualDriveModule m;
        m.supportInfo = library.function<uint32_t (*)()>(kGetSupportInfoName);
        m.send = library.function<uint32_t (*)(void*)>(kSendCommandName);
        m.driveCount = library.function<int (*)()>("LumbraVirtualDriveCount");
        m.driveName = library.function<const char* (*)(int)>("LumbraVirtualDriveName");
        m.configure = library.function<int (*)(const char*, const char*)>("LumbraVirtualConfigure");
        m.insertDisc = library.function<int (*)(int, const char*)>("LumbraVirtualInsertDisc");
        return m;
    }();
    return module;
}

uint8_t statusOf(ScsiRequestHeader& header) {
    return std::atomic_ref<uint8_t>(header.status).load(std::memory_order_acquire);
}

CommandResult runCommand(int drive, const std::vector<uint8_t>& cdb, size_t bufferLength,
                         const std::vector<uint8_t>& dataOut, size_t guardBytes) {
    CommandResult result;
    result.data.assign(bufferLength + guardBytes, kUnwrittenByte);
    std::copy(dataOut.begin(), dataOut.end(), result.data.begin());
    platform::ManualResetEvent done;
    ScsiRequest request{};
    request.header.command = kRequestExecute;
    request.header.adapter = uint8_t(drive / 8);
    request.header.flags = kFlagDataIn | kFlagEventNotify;
    request.target = uint8_t(drive % 8);
    request.bufferLength = uint32_t(bufferLength);
    request.buffer = result.data.data();
    request.senseLength = kSenseLength;
    request.cdbLength = uint8_t(cdb.size());
    request.completionEvent = done.descriptor();
    std::memcpy(request.cdb, cdb.data(), cdb.size());

    const uint32_t sent = VirtualDriveModule::get().send(&request);
    if (sent == kStatusPending) {
        EXPECT_TRUE(done.wait(std::chrono::seconds(10)));
        done.reset();  // reading the eventfd also orders the completer's writes before ours
    }
    result.status = statusOf(request.header);
    result.adapterStatus = request.adapterStatus;
    result.targetStatus = request.targetStatus;
    if (result.status == kStatusError && request.targetStatus == 2) {
        EXPECT_EQ(request.sense[0], 0x70);
        result.sense = {request.sense[2], request.sense[12], request.sense[13]};
    }
    return result;
}

std::vector<uint8_t> runGood(int drive, const std::vector<uint8_t>& cdb, size_t bufferLength,
                             const std::vector<uint8_t>& dataOut) {
    CommandResult result = runCommand(drive, cdb, bufferLength, dataOut);
    EXPECT_EQ(result.status, kStatusDone)
        << "opcode " << int(cdb[0]) << " sense " << int(result.sense.key) << "/"
        << int(result.sense.asc) << "/" << int(result.sense.ascq);
    return result.data;
}

std::vector<uint8_t> readCdCdb(uint32_t frame, uint32_t count, uint8_t fields) {
    auto at = be32(frame);
    return {0xBE,           0,      at[0], at[1], at[2], at[3], 0, uint8_t(count >> 8),
            uint8_t(count), fields, 0,     0};
}

std::vector<uint8_t> readTocCdb(bool msf, uint16_t allocationLength) {
    return {0x43, uint8_t(msf ? 2 : 0), 0, 0, 0, 0, 0, uint8_t(allocationLength >> 8),
            uint8_t(allocationLength), 0};
}

}  // namespace lumbra::virtualdrive::test

// libcue leaks its half-built sheet when it meets a syntax error; that is not ours to fix, and
// the sheets that test it would otherwise fail the leak check of sanitizer builds.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libcue.so\n";
}
