// The MusicBrainz disc ID of discs in virtual drives, checked against libdiscid given the audio
// session as the disc refresh finds it, and the tables it refuses.
#include <discid/discid.h>
#include <gtest/gtest.h>

#include <memory>

#include "metadata/musicbrainz_disc_id.h"
#include "support/cue_image.h"
#include "support/rip_harness.h"
#include "support/segment_image.h"
#include "support/toc_buffer.h"

namespace lumbra {
namespace {

class MusicBrainzDiscId : public test::RipHarness {
protected:
    // libdiscid's ID for the audio tracks of the track list, ending where the last one ends.
    std::string libdiscidId() const {
        std::unique_ptr<DiscId, decltype(&discid_free)> id(discid_new(), discid_free);
        std::vector<int> offsets{0};
        for (size_t i = 0; i < tracks.size(); ++i) {
            const TrackEntry& track = tracks[i];
            if (!isDataTrack(drives[0].toc.descriptors[i])) {
                offsets.push_back(track.start + 150);
                offsets[0] = track.start + track.length + 150;
            }
        }
        const int last = int(offsets.size()) - 1;
        offsets.resize(100);
        if (!discid_put(id.get(), 1, last, offsets.data())) return "rejected";
        return discid_get_id(id.get());
    }

    std::string ours(bool msf) const {
        const int handle = getCDHandle(&drives[0].openRequest);
        setDriveParameter(handle, kParamAddressForm, msf ? 1 : 0);
        TocBuffer toc{};
        EXPECT_EQ(readDiscToc(handle, toc), 1);
        releaseCDHandle(handle);
        const auto audio = musicBrainzToc(toc, msf);
        return audio ? musicBrainzDiscId(*audio) : "refused";
    }
};

TEST_F(MusicBrainzDiscId, AgreesWithLibdiscidOnTheDemoDiscImagesAndAnEnhancedCd) {
    const std::vector<test::ImageTrack> enhanced{{{{300}}}, {{{448}}}, {{{300}}, true, true}};
    const std::string discs[] = {
        "demo",
        test::writeCueImage(dir.path(), "three", {300, 200, 100}).cuePath,
        test::writeCueImage(dir.path(), "one", {4500}).cuePath,
        test::writeSegmentImage(dir.path(), "enhanced", enhanced).cuePath,
    };
    for (const std::string& disc : discs) {
        insertDiscs(disc);
        const std::string expected = libdiscidId();
        EXPECT_EQ(expected.size(), 28u) << disc;
        EXPECT_EQ(ours(false), expected) << disc;
        EXPECT_EQ(ours(true), expected) << disc << " in MSF form";
        shutdownCdAccess();
    }
}

TEST(MusicBrainzToc, NamesTheAudioSessionAndRefusesImpossibleTables) {
    TocBuffer toc = test::tocOf({{150}, {1150}, {20150, true}}, 30150, false);
    const auto audio = musicBrainzToc(toc, false);
    ASSERT_TRUE(audio);
    EXPECT_EQ(musicBrainzTocParameter(*audio), "1+2+8750+150+1150");

    toc.descriptors[0].adrControl = kDataTrackControl;
    toc.descriptors[1].adrControl = kDataTrackControl;
    EXPECT_FALSE(musicBrainzToc(toc, false)) << "no audio";
    toc.descriptors[1].adrControl = 0x10;
    toc.descriptors[1].address[2] = 0;  // before its predecessor
    toc.descriptors[0].address[3] = 200;
    toc.descriptors[1].address[3] = 100;
    EXPECT_FALSE(musicBrainzToc(toc, false)) << "going back";
    toc.lastTrack = 0;
    EXPECT_FALSE(musicBrainzToc(toc, false)) << "no tracks";
}

}  // namespace
}  // namespace lumbra
