// The MusicBrainz client: the releases a disc belongs to, from the web service by disc ID and,
// when the ID is unknown there, by table of contents; and a release's front cover from the Cover
// Art Archive. Requests to the web service keep to one a second, across every lookup.
#pragma once

#include <string>
#include <vector>

#include "metadata/musicbrainz_disc_id.h"
#include "metadata/musicbrainz_reply.h"
#include "platform/http_get.h"

namespace lumbra {

struct MusicBrainzConfig {
    bool enabled = true;
    std::string server = "musicbrainz.org";
    int port = 443;
    bool tls = true;
    bool coverArt = true;
    std::string coverServer = "coverartarchive.org";
    int coverPort = 443;
    bool coverTls = true;
    // Time-outs, proxy, stop and certificates; the User-Agent is the client's own.
    platform::HttpGetOptions http;
};

// The largest cover taken; a larger one is left out.
inline constexpr size_t kCoverArtLimit = 8 << 20;

// "LumbraCDRipper/<version> ( <contact> )", as the service asks of every client.
std::string musicBrainzUserAgent();

// The releases of the disc, in the service's order; empty when it knows none, cannot be reached,
// answers with anything but the releases, or the lookup was stopped.
std::vector<MusicBrainzRelease> lookUpMusicBrainz(const MusicBrainzConfig& config,
                                                  const MusicBrainzToc& toc);

// The bytes of the release's front cover (500 pixels), redirects followed; empty when it has
// none, the archive cannot be reached or the bytes are no JPEG or PNG image.
std::string fetchFrontCover(const MusicBrainzConfig& config, const std::string& releaseId);

}  // namespace lumbra
