#include <gtest/gtest.h>

#include "cdaccess/cd_access_errors.h"
#include "cdaccess/disc_toc.h"
#include "support/isolated_cd_access.h"

namespace lumbra {
namespace {

class DiscToc : public test::IsolatedCdAccess {
protected:
    int openDemo() {
        startVirtualDrives("demo");
        const OpenDriveRequest request{kOpenDriveRequestSize, kOpenDriveRequestVersion, 0, 0, 0, 0, 0, 0, 0};
        return getCDHandle(&request);
    }
};

int tocLength(const TocBuffer& toc) { return toc.dataLength[0] << 8 | toc.dataLength[1]; }

TEST_F(DiscToc, TheDemoDiscHasAudioTracksThenADataTrack) {
    const int handle = openDemo();
    ASSERT_GE(handle, 1);
    TocBuffer toc{};
    ASSERT_EQ(readDiscToc(handle, toc), kResultDone);
    const int tracks = toc.lastTrack - toc.firstTrack + 1;
    ASSERT_EQ(toc.firstTrack, 1);
    ASSERT_GE(tracks, 5);
    EXPECT_EQ(tocLength(toc), 2 + 8 * (tracks + 1));
    EXPECT_EQ(descriptorLba(toc.descriptors[0], false), 0);
    for (int i = 0; i + 1 < tracks; ++i) {
        EXPECT_EQ(toc.descriptors[i].adrControl & kDataTrackControl, 0) << "track " << i + 1;
        const int frames = descriptorLba(toc.descriptors[i + 1], false) - descriptorLba(toc.descriptors[i], false);
        EXPECT_GE(frames, 10 * 75);
        EXPECT_LE(frames, 40 * 75 + 2 * 75);
    }
    EXPECT_NE(toc.descriptors[tracks - 1].adrControl & kDataTrackControl, 0);
    EXPECT_EQ(toc.descriptors[tracks].trackNumber, kLeadOutTrack);
    releaseCDHandle(handle);
}

TEST_F(DiscToc, AHandleSwitchedToMsfReadsTheSameTableInMsfForm) {
    const int handle = openDemo();
    ASSERT_GE(handle, 1);
    TocBuffer lba{}, msf{};
    ASSERT_EQ(readDiscToc(handle, lba), kResultDone);
    ASSERT_EQ(setDriveParameter(handle, kParamAddressForm, 1), 1);
    ASSERT_EQ(readDiscToc(handle, msf), kResultDone);
    EXPECT_EQ(msf.descriptors[0].address[2], 2) << "00:02:00, the lead-in included";
    const int tracks = lba.lastTrack - lba.firstTrack + 1;
    for (int i = 0; i <= tracks; ++i) {
        EXPECT_EQ(descriptorLba(msf.descriptors[i], true), descriptorLba(lba.descriptors[i], false)) << i;
    }
    releaseCDHandle(handle);
}

}  // namespace
}  // namespace lumbra
