// A rip through the harness whose tracks are checked against a loopback AccurateRip database
// that knows the image's audio.
#pragma once

#include <chrono>

#include "rip/track_checksums.h"
#include "support/accuraterip_test_server.h"
#include "support/rip_harness.h"

namespace lumbra::test {

class VerifiedRipHarness : public RipHarness {
protected:
    AccurateRipTestServer server;
    RipVerification checks;

    // Inserts an image of three tracks with `faults` and points the checks at the loopback
    // server, with time-outs short enough for a silent server.
    void insertCheckedImage(const std::string& faults = "") {
        using std::chrono::milliseconds;
        insertImage({40, 27, 33}, faults);
        checks = verificationOfDisc(drives[0].toc);
        checks.lookupEnabled = true;
        checks.config.serverHost = "127.0.0.1";
        checks.config.serverPort = server.port();
        checks.config.timeouts = {milliseconds(1000), milliseconds(1000), milliseconds(300),
                                  milliseconds(600)};
        checks.config.cacheFolder = dir.path() + "/cache";
        verification = &checks;
    }

    TrackChecksumValues imageChecksums(size_t t) const {
        TrackChecksums sums(uint32_t(image.trackAudio[t].size() / 4), t == 0,
                            t + 1 == image.trackAudio.size());
        sums.add(image.trackAudio[t]);
        return sums.values();
    }

    // The database's pressing of the image's audio: each track filed with its v1 checksum, the
    // first with `confidence`, each later one with one more.
    AccurateRipPressing pressingOfImage(int confidence) const {
        AccurateRipPressing pressing{checks.disc, {}};
        for (size_t t = 0; t < image.trackAudio.size(); ++t)
            pressing.tracks.push_back({confidence + int(t), imageChecksums(t).v1, 0});
        return pressing;
    }

    void serve(const std::vector<AccurateRipPressing>& pressings) {
        server.setReply(httpReply(200, accurateRipBody(pressings)));
    }
    void serveNotFound() { server.setReply(httpReply(404, "")); }
};

}  // namespace lumbra::test
