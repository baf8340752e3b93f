// Handles: requests and handles refused up front, and over the real transport and the virtual
// drive library, slots shared between processes, lock and completion time-outs, and slots of
// crashed processes.
#include <gtest/gtest.h>

#include <thread>

#include "cdaccess/cd_access_errors.h"
#include "cdaccess/cd_handle.h"
#include "cdaccess/drive_discovery.h"
#include "cdaccess/last_error.h"
#include "cdaccess/scsi_command.h"
#include "cdaccess/scsi_request.h"
#include "cdaccess/slot_access.h"
#include "platform/named_lock.h"
#include "support/child_process.h"
#include "support/isolated_cd_access.h"

namespace lumbra {
namespace {

using namespace std::chrono_literals;

OpenDriveRequest requestFor(int driveIndex) {
    // Virtual drive i sits at adapter i / 8, target i % 8.
    return {kOpenDriveRequestSize,
            kOpenDriveRequestVersion,
            uint8_t(driveIndex / 8),
            uint8_t(driveIndex % 8),
            0,
            0,
            0,
            0,
            0};
}

using test::inChildProcess;

class DriveHandles : public test::IsolatedCdAccess {};

TEST_F(DriveHandles, BadRequestsAndHandlesAreRefusedBeforeAnythingElse) {
    ASSERT_TRUE(initCdAccess());
    takeLastError();
    EXPECT_EQ(getCDHandle(nullptr), 0);
    EXPECT_EQ(takeLastError(), kErrorNoOpenRequest);
    // Size at least 12 and version 1 are checked before the address, which has no drive here.
    OpenDriveRequest request = requestFor(0);
    for (const auto& [size, version, error] : {std::tuple{11, 1, kErrorBadOpenRequest},
                                               {12, 2, kErrorBadOpenRequest},
                                               {12, 1, kErrorNotCdRom}}) {
        request.size = uint8_t(size);
        request.version = uint8_t(version);
        EXPECT_EQ(getCDHandle(&request), 0);
        EXPECT_EQ(takeLastError(), error) << "size " << size << ", version " << version;
    }
    for (int handle : {0, 1, 16, 17, -3}) {
        TocBuffer toc{};
        EXPECT_EQ(readDiscToc(handle, toc), kResultFailed) << handle;
        EXPECT_EQ(takeLastError(), kErrorBadHandle) << handle;
        EXPECT_EQ(releaseCDHandle(handle), 0) << handle;
        EXPECT_EQ(setDriveParameter(handle, kParamAddressForm, 1), 0) << handle;
        EXPECT_EQ(takeLastError(), kErrorBadHandle) << handle;
    }
}

TEST_F(DriveHandles, SixteenSlotsThenNoFreeSlot) {
    std::string discs = "demo";
    for (int i = 1; i < 17; ++i) discs += ";demo";
    startVirtualDrives(discs);
    int handles[16];
    for (int i = 0; i < 16; ++i) {
        const OpenDriveRequest request = requestFor(i);
        handles[i] = getCDHandle(&request);
        ASSERT_GE(handles[i], 1) << "drive " << i << " error " << takeLastError();
    }
    const OpenDriveRequest seventeenth = requestFor(16);
    EXPECT_EQ(getCDHandle(&seventeenth), 0);
    EXPECT_EQ(takeLastError(), kErrorNoFreeSlot);
    EXPECT_EQ(releaseCDHandle(handles[5]), 1);
    const int reopened = getCDHandle(&seventeenth);
    ASSERT_GE(reopened, 1);
    EXPECT_EQ(slotIndexOfHandle(reopened), slotIndexOfHandle(handles[5])) << "the freed slot";
    EXPECT_NE(reopened, handles[5]);
    EXPECT_EQ(releaseCDHandle(reopened), 1);
}

// A stop on another thread and the owner itself may let go at the same moment: the drive is
// released once, and an owner that opens again lets go of what it held first (the address opens
// only once at a time, so a leaked handle would make the second open fail).
TEST_F(DriveHandles, AnOwnerReleasesItsHandleExactlyOnce) {
    startVirtualDrives("demo");
    const OpenDriveRequest request = requestFor(0);
    CdHandle owner(request);
    ASSERT_TRUE(owner);
    const int first = owner.get();
    ASSERT_GE(owner.open(request), 1) << "error " << takeLastError();
    EXPECT_NE(owner.get(), first);
    const int second = owner.get();
    std::vector<std::thread> stops;
    for (int i = 0; i < 4; ++i) stops.emplace_back([&] { owner.release(); });
    for (auto& stop : stops) stop.join();
    EXPECT_FALSE(owner);
    EXPECT_EQ(releaseCDHandle(second), 0) << "already released";
    const CdHandle next(request);
    EXPECT_TRUE(next) << "the drive is free again";
}

// Whoever still holds a released handle must not reach the slot's next opening through it.
TEST_F(DriveHandles, AReleasedHandleStaysUnusableAfterItsSlotIsOpenedAgain) {
    startVirtualDrives("demo;demo");
    const OpenDriveRequest first = requestFor(0), second = requestFor(1);
    const int stale = getCDHandle(&first);
    ASSERT_GE(stale, 1);
    ASSERT_EQ(releaseCDHandle(stale), 1);
    int current = 0;
    for (int i = 0; i < 16 && slotIndexOfHandle(current) != slotIndexOfHandle(stale); ++i) {
        if (current) releaseCDHandle(current);
        current = getCDHandle(&second);  // the search for a free slot starts at the last one
    }
    ASSERT_EQ(slotIndexOfHandle(current), slotIndexOfHandle(stale));
    ASSERT_EQ(setDriveParameter(current, kParamAddressForm, 0), 1);
    TocBuffer toc{};
    EXPECT_EQ(setDriveParameter(stale, kParamAddressForm, 1), 0);
    EXPECT_EQ(takeLastError(), kErrorBadHandle);
    EXPECT_EQ(readDiscToc(stale, toc), kResultFailed);
    EXPECT_EQ(takeLastError(), kErrorBadHandle);
    EXPECT_EQ(releaseCDHandle(stale), 0);
    EXPECT_EQ(slotOfHandle(current)->addressMsf, 0) << "the stale handle changed nothing";
    EXPECT_EQ(readDiscToc(current, toc), kResultDone) << "and closed nothing";
    EXPECT_EQ(setDriveParameter(current, 0x21, 5), 0) << "an unknown parameter code";
    EXPECT_EQ(takeLastError(), kErrorBadHandle);
    EXPECT_EQ(releaseCDHandle(current), 1);
}

TEST_F(DriveHandles, AnAddressOpensOnceAcrossProcesses) {
    startVirtualDrives("demo;demo");
    const OpenDriveRequest request = requestFor(0);
    const int handle = getCDHandle(&request);
    ASSERT_GE(handle, 1);
    const int child = inChildProcess([&] {
        // A forked child shares the parent's mapping and must not touch the library's threads,
        // which it does not have; opening the block by name shows what a new instance sees.
        auto block = platform::SharedMemory::open(kSharedStateName, kSharedStateSize);
        if (!block || block->createdNew()) return 10;
        if (!static_cast<SharedCdState*>(block->data())->slots[handle - 1].inUse) return 14;
        if (getCDHandle(&request) != 0 || takeLastError() != kErrorDriveAlreadyOpen) return 11;
        const OpenDriveRequest other = requestFor(1);
        const int second = getCDHandle(&other);
        if (second < 1 || second == handle) return 12;
        return releaseCDHandle(second) == 1 ? 0 : 13;
    });
    EXPECT_EQ(child, 0);
    EXPECT_EQ(releaseCDHandle(handle), 1) << "the second instance left the first one's slot alone";
}

TEST_F(DriveHandles, ASlotOfAKilledProcessIsReclaimed) {
    startVirtualDrives("demo");
    const OpenDriveRequest request = requestFor(0);
    const int child = inChildProcess([&] { return getCDHandle(&request) >= 1 ? 0 : 1; });
    ASSERT_EQ(child, 0);  // it died holding the handle
    const int handle = getCDHandle(&request);
    EXPECT_GE(handle, 1) << "error " << takeLastError();
    releaseCDHandle(handle);
}

TEST_F(DriveHandles, LastStatusIsOneAfterACallUntilACommandFails) {
    startVirtualDrives("demo;/nonexistent/missing.cue");
    takeLastStatus();
    const OpenDriveRequest request = requestFor(0);
    const int handle = getCDHandle(&request);
    ASSERT_GE(handle, 1);
    EXPECT_EQ(takeLastStatus(), 1);
    const OpenDriveRequest empty = requestFor(1);
    const int emptyHandle = getCDHandle(&empty);
    ASSERT_GE(emptyHandle, 1);
    TocBuffer toc{};
    EXPECT_EQ(readDiscToc(emptyHandle, toc), kResultFailed);
    EXPECT_EQ(takeLastError(), kErrorCommandFailed);
    EXPECT_EQ(takeLastStatus(), kStatusError);
    EXPECT_EQ(lastSense()[2] & 0x0F, 0x02) << "not ready: no medium";
    releaseCDHandle(handle);
    releaseCDHandle(emptyHandle);
}

TEST_F(DriveHandles, ACompletionThatNeverComesInTimeFailsWithStatusZero) {
    setCdAccessTimeouts({.completion = 200ms});
    startVirtualDrives("demo", "delay=600");
    const OpenDriveRequest request = requestFor(0);
    const int handle = getCDHandle(&request);
    ASSERT_GE(handle, 1);
    TocBuffer toc{};
    toc.firstTrack = 0x5A;
    EXPECT_EQ(readDiscToc(handle, toc), kResultFailed);
    EXPECT_EQ(takeLastError(), kErrorCommandFailed);
    EXPECT_EQ(takeLastStatus(), kStatusPending);
    EXPECT_EQ(abandonedCommandCount(), 1u) << "kept for its late completion";
    std::this_thread::sleep_for(700ms);
    EXPECT_EQ(toc.firstTrack, 0x5A) << "a late completion wrote into the caller's buffer";
    EXPECT_EQ(readDiscToc(handle, toc), kResultFailed);
    EXPECT_EQ(abandonedCommandCount(), 1u) << "the first one was freed once it had completed";
    releaseCDHandle(handle);
    shutdownCdAccess();  // the late completion must still land in memory of our own
    std::this_thread::sleep_for(700ms);
    EXPECT_EQ(toc.firstTrack, 0x5A) << "a late completion wrote into the caller's buffer";
}

// A completer whose status is seen before its event: the caller has its answer, but the event
// and its descriptor stay until the signal comes, so it cannot land on a reused descriptor.
TEST_F(DriveHandles, ACommandAnsweredBeforeItsSignalKeepsItsEventUntilTheSignal) {
    setCdAccessTimeouts({.completion = 300ms});
    startVirtualDrives("demo", "delay=20,signallag=600");
    const OpenDriveRequest request = requestFor(0);
    const int handle = getCDHandle(&request);
    ASSERT_GE(handle, 1);
    TocBuffer toc{};
    EXPECT_EQ(readDiscToc(handle, toc), kResultDone) << "the status came in time";
    EXPECT_EQ(toc.firstTrack, 1);
    EXPECT_EQ(abandonedCommandCount(), 1u) << "its event waits for the signal";
    std::this_thread::sleep_for(600ms);
    releaseAbandonedCommands();
    EXPECT_EQ(abandonedCommandCount(), 0u);
    releaseCDHandle(handle);
}

TEST_F(DriveHandles, ASlotLockHeldElsewhereTimesOut) {
    setCdAccessTimeouts({.slotLock = 150ms});
    startVirtualDrives("demo");
    const OpenDriveRequest request = requestFor(0);
    const int handle = getCDHandle(&request);
    ASSERT_GE(handle, 1);
    test::Pipe ready, done;
    const pid_t holder = test::spawn([&] {
        auto lock = platform::NamedLock::open(slotLockName(handle - 1).substr(5));
        if (!lock || lock->lock() != platform::LockResult::Acquired) return 1;
        ready.post();
        done.wait();
        lock->unlock();
        return 0;
    });
    ASSERT_TRUE(ready.wait());
    TocBuffer toc{};
    EXPECT_EQ(readDiscToc(handle, toc), kResultFailed);
    EXPECT_EQ(takeLastError(), kErrorLockTimeout);
    EXPECT_EQ(setDriveParameter(handle, kParamAddressForm, 1), kResultFailed);
    EXPECT_EQ(takeLastError(), kErrorLockTimeout);
    done.post();
    EXPECT_EQ(test::exitCodeOf(holder), 0);
    EXPECT_EQ(readDiscToc(handle, toc), kResultDone);
    releaseCDHandle(handle);
}

}  // namespace
}  // namespace lumbra
