// The ASPI-manager side of the module: adapters, device types, and commands that complete at once,
// or later on the request's eventfd when the drive is told to be slow.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstring>

#include "platform/manual_reset_event.h"
#include "virtualdrive/virtual_drive_client.h"

namespace lumbra::virtualdrive::test {
namespace {

using namespace std::chrono_literals;

std::string demoDiscs(int count) {
    std::string list;
    for (int i = 0; i < count; ++i) list += "demo;";
    return list;
}

TEST(VirtualDriveAspi, AdaptersHoldEightDrivesEach) {
    auto& module = VirtualDriveModule::get();
    ASSERT_EQ(module.configure("", ""), 0);
    EXPECT_EQ(module.supportInfo(), 0x0101u) << "one adapter even without drives";
    ASSERT_EQ(module.configure(demoDiscs(9).c_str(), ""), 9);
    EXPECT_EQ(module.supportInfo(), 0x0102u);

    AdapterInquiryRequest inquiry{};
    inquiry.header.command = kRequestAdapterInquiry;
    inquiry.header.adapter = 1;
    EXPECT_EQ(module.send(&inquiry), kStatusDone);
    EXPECT_EQ(inquiry.adapterCount, 2);
    EXPECT_EQ(inquiry.scsiId, 7);
    for (char c : inquiry.managerId) EXPECT_TRUE(std::isprint(c)) << "unterminated, all text";
    EXPECT_EQ(inquiry.adapterId[15], '1');
    EXPECT_EQ(inquiry.adapterSpecific[3], 8);
    EXPECT_EQ(inquiry.adapterSpecific[4] | inquiry.adapterSpecific[5] << 8 |
                  inquiry.adapterSpecific[6] << 16 | inquiry.adapterSpecific[7] << 24,
              0x10000);

    inquiry.header.adapter = 2;
    EXPECT_EQ(module.send(&inquiry), kStatusInvalidAdapter);
    EXPECT_EQ(inquiry.adapterCount, 2);
}

TEST(VirtualDriveAspi, MalformedRequestsFailWithoutWaiting) {
    auto& module = VirtualDriveModule::get();
    ASSERT_EQ(module.configure("demo", ""), 1);
    EXPECT_EQ(module.send(nullptr), kStatusError);
    ScsiRequestHeader unknown{9, 0, 0, 0, 0};
    EXPECT_EQ(module.send(&unknown), kStatusError);

    ScsiRequest request{};
    request.header.command = kRequestExecute;
    request.header.adapter = 3;
    request.cdbLength = 6;
    EXPECT_EQ(module.send(&request), kStatusNoDevice);
    request.header.adapter = 0;
    request.cdbLength = 17;
    EXPECT_EQ(module.send(&request), kStatusError);
    request.cdbLength = 10;
    request.bufferLength = 100;  // and no buffer
    EXPECT_EQ(module.send(&request), kStatusError);
}

TEST(VirtualDriveAspi, UndelayedCommandsCompleteBeforeTheCallReturns) {
    auto& module = VirtualDriveModule::get();
    ASSERT_EQ(module.configure("demo", ""), 1);
    ScsiRequest request{};
    request.header.command = kRequestExecute;
    request.header.flags = kFlagEventNotify;
    request.cdbLength = 6;  // TEST UNIT READY
    request.completionEvent = -1;
    EXPECT_EQ(module.send(&request), kStatusDone);
    EXPECT_EQ(request.header.status, kStatusDone);
}

TEST(VirtualDriveAspi, DelayedCompletionsHoldUpNeitherCallerNorOtherDrives) {
    auto& module = VirtualDriveModule::get();
    ASSERT_EQ(module.configure("demo;demo", "delay=700"), 2);
    platform::ManualResetEvent events[2];
    ScsiRequest requests[2]{};
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 2; ++i) {
        requests[i].header.command = kRequestExecute;
        requests[i].header.flags = kFlagEventNotify;
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
        events[i].reset();
        EXPECT_EQ(statusOf(requests[i].header), kStatusDone);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1300ms) << "delays ran one after another";
}

}  // namespace
}  // namespace lumbra::virtualdrive::test
