// Without any transport the layer still starts, and every command fails cleanly with 0xE3.
#include <gtest/gtest.h>

#include "cdaccess/cd_access_errors.h"
#include "cdaccess/drive_discovery.h"
#include "cdaccess/last_error.h"
#include "cdaccess/scsi_command.h"
#include "cdaccess/scsi_request.h"
#include "support/isolated_cd_access.h"

namespace lumbra {
namespace {

class NoTransport : public test::IsolatedCdAccess {};

TEST_F(NoTransport, StartsAndFailsEveryCommandWithNotInitialised) {
    EXPECT_EQ(takeLastStatus(), 0) << "no command has failed yet";
    ASSERT_TRUE(initCdAccess());
    EXPECT_EQ(takeLastError(), kErrorNoTransport);

    DriveScanList list{};
    list.capacity = 8;
    EXPECT_EQ(scanCdDrives(list), 1);
    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(list.capacity, 8);
    EXPECT_EQ(takeLastError(), kErrorNoCdDrive);  // a failed count query scans nothing

    uint8_t reply[36];
    EXPECT_EQ(executeCommand({0, 0, 0}, CommandBlock({0x12, 0, 0, 0, 36, 0}, kFlagDataIn, reply, 36)),
              kResultFailed);
    EXPECT_EQ(takeLastStatus(), kStatusNotInitialised);
    EXPECT_EQ(takeLastError(), kErrorCommandFailed);

    std::vector<DriveEntry> drives;
    EXPECT_EQ(buildDriveList(drives), 0);
}

TEST_F(NoTransport, OpenRequestsAreValidatedBeforeAnythingElse) {
    ASSERT_TRUE(initCdAccess());
    takeLastError();
    EXPECT_EQ(getCDHandle(nullptr), 0);
    EXPECT_EQ(takeLastError(), kErrorNoOpenRequest);
    OpenDriveRequest request{kOpenDriveRequestSize, kOpenDriveRequestVersion, 0, 0, 0, 0, 0, 0, 0};
    request.size = 11;
    EXPECT_EQ(getCDHandle(&request), 0);
    EXPECT_EQ(takeLastError(), kErrorBadOpenRequest);
    request.size = 12;
    request.version = 2;
    EXPECT_EQ(getCDHandle(&request), 0);
    EXPECT_EQ(takeLastError(), kErrorBadOpenRequest);
    request.version = 1;
    EXPECT_EQ(getCDHandle(&request), 0);
    EXPECT_EQ(takeLastError(), kErrorNotCdRom);
}

TEST_F(NoTransport, HandlesOutOfRangeOrClosedAreRefused) {
    ASSERT_TRUE(initCdAccess());
    takeLastError();
    for (int handle : {0, 1, 16, 17, -3}) {
        TocBuffer toc{};
        EXPECT_EQ(readDiscToc(handle, toc), kResultFailed) << handle;
        EXPECT_EQ(takeLastError(), kErrorBadHandle) << handle;
        EXPECT_EQ(releaseCDHandle(handle), 0) << handle;
        EXPECT_EQ(setDriveParameter(handle, kParamAddressForm, 1), 0) << handle;
        EXPECT_EQ(takeLastError(), kErrorBadHandle) << handle;
    }
}

}  // namespace
}  // namespace lumbra
