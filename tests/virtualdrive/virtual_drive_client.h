// Drives the built virtual drive module through its exported entry points, as the transport
// does: requests in the real layouts, completion awaited on a real eventfd.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <vector>

#include "cdaccess/scsi_request.h"
#include "platform/manual_reset_event.h"
#include "platform/shared_library.h"
#include "plugins/virtualdrive/sense.h"

namespace lumbra::virtualdrive::test {

struct VirtualDriveModule {
    uint32_t (*supportInfo)();
    uint32_t (*send)(void*);
    const char* (*driveName)(int);
    int (*configure)(const char*, const char*);
    int (*insertDisc)(int, const char*);

    // Loaded once for the whole test program.
    static const VirtualDriveModule& get() {
        static platform::SharedLibrary library(LUMBRA_VIRTUALDRIVE_MODULE);
        EXPECT_TRUE(library.isLoaded()) << library.errorText();
        static const VirtualDriveModule module{
            library.function<uint32_t (*)()>(kGetSupportInfoName),
            library.function<uint32_t (*)(void*)>(kSendCommandName),
            library.function<const char* (*)(int)>("LumbraVirtualDriveName"),
            library.function<int (*)(const char*, const char*)>("LumbraVirtualConfigure"),
            library.function<int (*)(int, const char*)>("LumbraVirtualInsertDisc")};
        return module;
    }
};

struct CommandResult {
    uint8_t status = 0;
    uint8_t adapterStatus = 0;
    Sense sense;
    std::vector<uint8_t> data;  // the whole buffer afterwards, guard bytes included
};

inline constexpr uint8_t kUnwrittenByte = 0xAA;

// The status of a request that the module may still be completing.
inline uint8_t statusOf(ScsiRequestHeader& header) {
    return std::atomic_ref<uint8_t>(header.status).load(std::memory_order_acquire);
}

// Runs `cdb` on drive `drive` and waits for its completion. The buffer is filled with the
// unwritten byte and has `guardBytes` more that the request's buffer length leaves out.
inline CommandResult runCommand(int drive, const std::vector<uint8_t>& cdb, size_t bufferLength,
                                size_t guardBytes = 0) {
    CommandResult result;
    result.data.assign(bufferLength + guardBytes, kUnwrittenByte);
    platform::ManualResetEvent done;
    ScsiRequest request{};
    request.header = {kRequestExecute, 0, uint8_t(drive / 8), kFlagDataIn | kFlagEventNotify, 0};
    request.target = uint8_t(drive % 8);
    request.bufferLength = uint32_t(bufferLength);
    request.buffer = result.data.data();
    request.senseLength = kSenseLength;
    request.cdbLength = uint8_t(cdb.size());
    request.completionEvent = done.descriptor();
    std::memcpy(request.cdb, cdb.data(), cdb.size());
    if (VirtualDriveModule::get().send(&request) == kStatusPending) {
        EXPECT_TRUE(done.wait(std::chrono::seconds(10)));
        done.reset();  // reading the eventfd also orders the completer's writes before ours
    }
    result.status = statusOf(request.header);
    result.adapterStatus = request.adapterStatus;
    if (result.status == kStatusError && request.targetStatus == 2) {
        EXPECT_EQ(request.sense[0], 0x70);
        result.sense = {request.sense[2], request.sense[12], request.sense[13]};
    }
    return result;
}

// The reply bytes of a good command, failing the test otherwise.
inline std::vector<uint8_t> runGood(int drive, const std::vector<uint8_t>& cdb, size_t length) {
    CommandResult result = runCommand(drive, cdb, length);
    EXPECT_EQ(result.status, kStatusDone) << "opcode " << int(cdb[0]) << " sense "
                                          << int(result.sense.key) << "/" << int(result.sense.asc);
    return result.data;
}

// READ CD of the user data of `count` frames from `frame`.
inline std::vector<uint8_t> readCdCdb(uint32_t frame, uint32_t count) {
    std::vector<uint8_t> cdb{0xBE, 0, 0, 0, 0, 0, 0, 0, 0, 0x10, 0, 0};
    for (size_t i = 0; i < 4; ++i) cdb[2 + i] = uint8_t(frame >> (24 - 8 * i));
    cdb[7] = uint8_t(count >> 8);
    cdb[8] = uint8_t(count);
    return cdb;
}

inline std::vector<uint8_t> readTocCdb(uint16_t allocationLength = 804) {
    return {0x43, 0, 0, 0, 0, 0, 0, uint8_t(allocationLength >> 8), uint8_t(allocationLength), 0};
}

}  // namespace lumbra::virtualdrive::test
