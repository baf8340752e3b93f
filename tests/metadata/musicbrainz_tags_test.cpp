// A release found at the web service on loopback, ripped: each track's own artist in the tags of
// every format, the release's artist as the album artist, read back with TagLib; its cover kept
// for a lookup without a network.
#include <gtest/gtest.h>

#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/tpropertymap.h>

#include <algorithm>
#include <filesystem>

#include "rip/track_status.h"
#include "support/musicbrainz_service.h"

namespace lumbra {
namespace {

using test::credit, test::medium, test::release, test::releases, test::track;

class MusicBrainzTags : public test::MusicBrainzService {
protected:
    void SetUp() override {
        MusicBrainzService::SetUp();
        settings.id3Enable = true;
        settings.namingTemplate = "<Artist> \\ <Title>";
        settings.encoder.mp3 = {1, 1, 8, 1, 3, 10, 7};
        settings.encoder.ogg = {0, 1, 0, 0, 1, 0, 0, 0, 3, 9};
        settings.encoder.wma = {0, 6, 1};
        settings.encoder.flac = {5, 1};
        settings.encoder.opus = {5};
        settings.musicBrainz.coverArt = false;
        setenv("LUMBRA_PLUGIN_DIR", LUMBRA_LAME_PLUGIN_DIR, 1);
    }

    // "file: ARTIST | ALBUMARTIST | TITLE" for every file with `extension` below the output
    // folder, by file name.
    std::vector<std::string> tagsOfFiles(const std::string& extension) const {
        std::vector<std::string> out;
        for (const auto& entry :
             std::filesystem::recursive_directory_iterator(settings.outputFolder)) {
            if (entry.path().extension() != extension) continue;
            const std::string name =
                std::filesystem::relative(entry.path(), settings.outputFolder).string();
            const TagLib::FileRef file(entry.path().c_str());
            if (file.isNull()) {
                out.push_back(name + ": unreadable");
                continue;
            }
            const TagLib::PropertyMap tags = file.file()->properties();
            const auto value = [&](const char* key) {
                return tags.contains(key) ? tags[key].toString(";").to8Bit(true) : "-";
            };
            out.push_back(name + ": " + value("ARTIST") + " | " + value("ALBUMARTIST") + " | " +
                          value("TITLE"));
        }
        std::ranges::sort(out);
        return out;
    }
};

TEST_F(MusicBrainzTags, EachTrackCarriesItsOwnArtistAndTheAlbumArtistStaysTheReleases) {
    web.route(
        lookupPath,
        test::webReply(
            200,
            releases({release(
                test::kFirstRelease, "Duets", credit("Band"),
                {medium(discId, {track("Alone", credit("Band")),
                                 track("Together", credit("Band", " & ") + "," + credit("Guest")),
                                 track("Cover", credit("Other"))})})})));
    lookUpAndApply();
    ASSERT_EQ(disc.artist, "Band");
    EXPECT_EQ(shown(), "Band / Duets / 1999: | Alone | Band & Guest / Together | Other / Cover");

    for (const auto& [format, extension] :
         {std::pair{kFormatMp3, ".mp3"}, std::pair{kFormatOgg, ".ogg"},
          std::pair{kFormatWma, ".wma"}, std::pair{kFormatFlac, ".flac"},
          std::pair{kFormatOpus, ".opus"}}) {
        SCOPED_TRACE(extension);
        rip({0, 1, 2}, format);
        for (const auto& t : tracks) EXPECT_EQ(t.status, kTrackDone);
        const std::string e = extension;
        // The album keeps one folder, and each file's name still says whose song it is.
        EXPECT_EQ(tagsOfFiles(e),
                  (std::vector<std::string>{
                      "Band/Alone" + e + ": Band | - | Alone",
                      "Band/Band & Guest _ Together" + e + ": Band & Guest | Band | Together",
                      "Band/Other _ Cover" + e + ": Other | Band | Cover"}));
    }
}

TEST_F(MusicBrainzTags, ACoverOnceFetchedIsEmbeddedWhenTheNextLookupIsOffline) {
    settings.musicBrainz.coverArt = true;
    web.route(lookupPath,
              test::webReply(200, releases({release(test::kFirstRelease, "Album", credit("Band"),
                                                    {medium(discId, {track("One")})})})));
    web.route(coverPath(test::kFirstRelease), test::webReply(200, test::kJpeg));
    EXPECT_EQ(lookUpAndApply(), test::kJpeg);

    // Every server gone, as in a later run of the program without a network.
    const int closed = [] {
        const test::WebTestServer gone;
        return gone.port();
    }();
    settings.musicBrainz.port = settings.musicBrainz.coverPort = closed;
    settings.cddb.currentServer.port = closed;
    forgetRecentDiscs();
    forgetTitles();
    disc.coverArt = lookUpAndApply();
    EXPECT_EQ(disc.album, "Album");
    rip({0}, kFormatFlac);
    ASSERT_EQ(tracks[0].status, kTrackDone);
    TagLib::FLAC::File flac((settings.outputFolder + "/Band/One.flac").c_str(), false);
    const auto pictures = flac.pictureList();
    ASSERT_EQ(pictures.size(), 1u);
    const TagLib::ByteVector data = pictures.front()->data();
    EXPECT_EQ(std::string(data.data(), data.size()), test::kJpeg);
}

}  // namespace
}  // namespace lumbra
