// The ASPI-manager side of the module: adapters, malformed requests, replies bounded by the
// caller's lengths, and commands that complete at once or later on the request's eventfd.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>

#include "cdaccess/cd_frame.h"
#include "virtualdrive/virtual_drive_client.h"

namespace lumbra::virtualdrive::test {
namespace {

using namespace std::chrono_literals;

constexpr size_t kFrame = kFrameBytes;

TEST(VirtualDriveAspi, AdaptersHoldEightDrivesEach) {
    auto& module = VirtualDriveModule::get();
    ASSERT_EQ(module.configure("", ""), 0);
    EXPECT_EQ(module.supportInfo(), 0x0101u) << "one adapter even without drives";
    ASSERT_EQ(module.configure("demo;demo;demo;demo;demo;demo;demo;demo;demo", ""), 9);
    EXPECT_EQ(module.supportInfo(), 0x0102u);

    AdapterInquiryRequest inquiry{};
    inquiry.header = {kRequestAdapterInquiry, 0, 1, 0, 0};
    EXPECT_EQ(module.send(&inquiry), kStatusDone);
    EXPECT_EQ(inquiry.adapterCount, 2);
    EXPECT_EQ(inquiry.scsiId, 7);
    for (char c : inquiry.managerId) EXPECT_TRUE(std::isprint(c)) << "unterminated, all text";
    EXPECT_EQ(inquiry.adapterId[15], '1');
    // Eight targets, and transfers of up to 64 KiB (little-endian).
    EXPECT_EQ(std::vector<uint8_t>(inquiry.adapterSpecific + 3, inquiry.adapterSpecific + 8),
              (std::vector<uint8_t>{8, 0, 0, 1, 0}));
    inquiry.header.adapter = 2;
    EXPECT_EQ(module.send(&inquiry), kStatusInvalidAdapter);
}

// Malformed requests fail at once, and a good one without a delay has completed when the call
// returns.
TEST(VirtualDriveAspi, MalformedRequestsFailAndUndelayedOnesCompleteWithoutWaiting) {
    auto& module = VirtualDriveModule::get();
    ASSERT_EQ(module.configure("demo", ""), 1);
    EXPECT_EQ(module.send(nullptr), kStatusError);
    ScsiRequestHeader unknown{9, 0, 0, 0, 0};
    EXPECT_EQ(module.send(&unknown), kStatusError);

    ScsiRequest request{};
    request.header = {kRequestExecute, 0, 3, 0, 0};
    request.cdbLength = 6;
    EXPECT_EQ(module.send(&request), kStatusNoDevice);
    request.header.adapter = 0;
    request.cdbLength = 17;
    EXPECT_EQ(module.send(&request), kStatusError);
    request.cdbLength = 10;
    request.bufferLength = 100;  // and no buffer
    EXPECT_EQ(module.send(&request), kStatusError);

    ScsiRequest ready{};
    ready.header = {kRequestExecute, 0, 0, kFlagEventNotify, 0};
    ready.cdbLength = 6;  // TEST UNIT READY
    ready.completionEvent = -1;
    EXPECT_EQ(module.send(&ready), kStatusDone);
    EXPECT_EQ(ready.header.status, kStatusDone);
}

TEST(VirtualDriveAspi, RepliesStopAtAllocationLengthAndBufferLength) {
    ASSERT_EQ(VirtualDriveModule::get().configure("demo", ""), 1);
    auto reply = runCommand(0, readTocCdb(12), 804).data;
    EXPECT_EQ(reply[11], 0x00);
    EXPECT_EQ(reply[12], kUnwrittenByte) << "wrote past the allocation length";
    const auto tight = runCommand(0, readTocCdb(), 10, 100);
    EXPECT_EQ(tight.status, kStatusDone);
    EXPECT_EQ(tight.data[9], 0x00);
    EXPECT_EQ(tight.data[10], kUnwrittenByte) << "wrote past the buffer length";
    reply = runGood(0, {0x12, 0, 0, 0, 5, 0}, 96);
    EXPECT_EQ(reply[0], kDeviceTypeCdRom);
    EXPECT_EQ(reply[1] & 0x80, 0x80) << "removable medium";
    EXPECT_EQ(reply[5], kUnwrittenByte);

    // A read larger than the buffer fills it and no further, and says so.
    const auto whole = runGood(0, readCdCdb(100, 2), 2 * kFrame);
    const auto cut = runCommand(0, readCdCdb(100, 2), kFrame + 10, 4096);
    EXPECT_EQ(cut.status, kStatusError);
    EXPECT_EQ(cut.adapterStatus, 0x12) << "data overrun";
    EXPECT_TRUE(std::equal(whole.begin(), whole.begin() + kFrame + 10, cut.data.begin()));
    EXPECT_TRUE(std::all_of(cut.data.begin() + kFrame + 10, cut.data.end(),
                            [](uint8_t b) { return b == kUnwrittenByte; }));
}

TEST(VirtualDriveAspi, DelayedCompletionsHoldUpNeitherCallerNorOtherDrives) {
    auto& module = VirtualDriveModule::get();
    ASSERT_EQ(module.configure("demo;demo", "delay=700"), 2);
    platform::ManualResetEvent events[2];
    ScsiRequest requests[2]{};
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 2; ++i) {
        requests[i].header = {kRequestExecute, 0, 0, kFlagEventNotify, 0};
        requests[i].target = uint8_t(i);
        requests[i].cdbLength = 6;
        requests[i].completionEvent = events[i].descriptor();
        ASSERT_EQ(module.send(&requests[i]), kStatusPending);
    }
    EXPECT_EQ(statusOf(requests[0].header), kStatusPending);
    EXPECT_FALSE(events[0].wait(200ms)) << "completed before its delay";
    EXPECT_LT(std::chrono::steady_clock::now() - start, 650ms);
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(events[i].wait(5s));
        EXPECT_EQ(statusOf(requests[i].header), kStatusDone);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1300ms) << "delays ran one after another";
}

}  // namespace
}  // namespace lumbra::virtualdrive::test
