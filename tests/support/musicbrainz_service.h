// The MusicBrainz web service and the Cover Art Archive as a loopback server plays them for the
// lookups of a main window, with a CDDB server behind them, and the web service's JSON for the
// releases a test makes up.
#pragma once

#include <string>
#include <vector>

#include "metadata/musicbrainz_disc_id.h"
#include "support/cddb_test_server.h"
#include "support/lookup_harness.h"
#include "support/web_test_server.h"

namespace lumbra::test {

inline constexpr const char* kFirstRelease = "11111111-2222-3333-4444-555555555555";
inline constexpr const char* kSecondRelease = "66666666-7777-8888-9999-000000000000";
inline const std::string kJpeg = "\xFF\xD8\xFF\xE0 a cover";

inline std::string joined(const std::vector<std::string>& items) {
    std::string list;
    for (const std::string& item : items) list += (list.empty() ? "" : ",") + item;
    return list;
}

inline std::string credit(const std::string& name, const std::string& join = "") {
    return R"({"name":")" + name + R"(","joinphrase":")" + join + R"(","artist":{"name":"x"}})";
}

inline std::string track(const std::string& title, const std::string& credits = "") {
    return R"({"title":")" + title + R"(")" +
           (credits.empty() ? "" : R"(,"artist-credit":[)" + credits + "]") + "}";
}

inline std::string medium(const std::string& discId, const std::vector<std::string>& tracks) {
    return R"({"discs":[{"id":")" + discId + R"("}],"tracks":[)" + joined(tracks) + "]}";
}

// `extra` members go into the release's object as they are, each with its leading comma.
inline std::string release(const std::string& id, const std::string& title,
                           const std::string& credits, const std::vector<std::string>& media,
                           const std::string& extra = "") {
    return R"({"id":")" + id + R"(","title":")" + title + R"(","date":"1999-04-01",)" +
           R"("artist-credit":[)" + credits + R"(],"media":[)" + joined(media) + "]" + extra + "}";
}

inline std::string releases(const std::vector<std::string>& list) {
    return R"({"releases":[)" + joined(list) + "]}";
}

class MusicBrainzService : public LookupHarness {
protected:
    void SetUp() override {
        using namespace std::chrono_literals;
        LookupHarness::SetUp();
        settings.cddb.currentServer = {"127.0.0.1", cddb.port(), "/~cddb/cddb.cgi"};
        settings.musicBrainz = {true, "127.0.0.1", web.port(), false,
                                true, "127.0.0.1", web.port(), false};
        discId = musicBrainzDiscId(*musicBrainzToc(drives[0].toc, false));
        lookupPath = "/ws/2/discid/" + discId + "?inc=artist-credits+recordings+genres&fmt=json";
        fuzzyPath = lookupPath + "&cdstubs=no&toc=1+3+750+150+450+650";
        useTimeouts({1000ms, 1000ms, 1000ms, 3000ms});
    }

    // The address of the release's front cover at the archive.
    static std::string coverPath(const std::string& releaseId) {
        return "/release/" + releaseId + "/front-500";
    }

    CddbTestServer cddb;
    WebTestServer web;
    std::string discId, lookupPath, fuzzyPath;
};

}  // namespace lumbra::test
