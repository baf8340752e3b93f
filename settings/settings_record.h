// The process-wide settings every part reads. Pages fill it at start-up and change it on the user
// interface thread; jobs read it while they run.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "cdaccess/rip_reads.h"
#include "settings/encoder_settings.h"

namespace lumbra {

struct CddbServerAddress {
    std::string host;
    int port = 0;
    std::string queryPath;
};

struct CddbSettings {
    CddbServerAddress currentServer;  // what the next lookup asks; not stored
    bool useLocalDatabase = false;
    std::string localDatabaseFolder;  // native path
    bool useProxy = false;
    std::string proxyHost;
    int proxyPort = 0;
    std::string proxyUser;
    std::string proxyPassword;
    bool savePassword = false;
    std::string email;  // address sent in the CDDB hello
};

struct AccurateRipSettings {
    bool enabled = false;  // look each ripped disc up in the database
    std::string server;
    int port = 80;
};

// The MusicBrainz lookup and the Cover Art Archive, each server with its port and TLS switch.
struct MusicBrainzSettings {
    bool enabled = false;  // ask MusicBrainz between the local database and the CDDB server
    std::string server;
    int port = 443;
    bool tls = true;
    bool coverArt = false;  // embed the release's front cover and save it beside the tracks
    std::string coverServer;
    int coverPort = 443;
    bool coverTls = true;
};

struct SettingsRecord {
    int driveIndex = 0;
    OutputFormat defaultFormat = kFormatMp3;
    bool cddbAuto = false;
    bool overwrite = false;
    bool antiCrackle = false;
    bool replayGain = false;     // loudness measured while reading, written as ReplayGain tags
    int encoderThreads = 0;      // 0: one per processor core
    std::string outputFolder;    // native path without a trailing slash
    std::string namingTemplate;  // "<Artist> \ <Album> \ <Title>"
    EncoderSettings encoder{};
    EncoderSettings trackDialogSettings{};
    bool id3Enable = false;
    CddbSettings cddb;
    int32_t jitterMode = kJitterOnErrors;
    AccurateRipSettings accurateRip;
    // Read offsets in samples by drive model (a drive entry's `model`); a model not listed reads
    // with none.
    std::map<std::string, int32_t> readOffsets;
    // An offset for this run only, for whatever drive it reads (lumbra-rip --read-offset); not
    // stored.
    std::optional<int32_t> runReadOffset;
    bool testAndCopy = false;    // every track read twice, the two reads compared
    bool ejectAfterRip = false;  // the tray opens after a rip that wrote every ticked track
    MusicBrainzSettings musicBrainz;
};

}  // namespace lumbra
