// Every key of setup.ini with its section and its default when absent.
#pragma once

#include <string_view>

namespace lumbra::keys {

struct IntKey {
    std::string_view section;
    std::string_view name;
    int defaultValue;
};

struct StringKey {
    std::string_view section;
    std::string_view name;
    std::string_view defaultValue;
};

// The value that marks a folder key as "not set yet".
inline constexpr std::string_view kUnsetFolder = "0";

inline constexpr IntKey kEffective{"GENERAL", "EFFECTIVE", 1};
inline constexpr IntKey kId3Enable{"GENERAL", "ID3_ENABLE", 1};
inline constexpr IntKey kOverwrite{"GENERAL", "GEN_OVERWRITE", 1};
inline constexpr IntKey kAntiCrackle{"GENERAL", "ANTI_CRACKLE", 0};
inline constexpr IntKey kReplayGain{"GENERAL", "REPLAYGAIN", 1};
// Threads that encode while the drive reads on; 0 is one per processor core.
inline constexpr IntKey kEncoderThreads{"GENERAL", "ENCODER_THREADS", 0};
// Each track read once without writing, then again to write it, and the two reads compared.
inline constexpr IntKey kTestAndCopy{"GENERAL", "TEST_AND_COPY", 0};
inline constexpr IntKey kEjectAfterRip{"GENERAL", "EJECT_AFTER_RIP", 0};
inline constexpr IntKey kJitterCorrection{"Jitter", "Jitter_Correction", 1};
inline constexpr StringKey kOutputFormat{"OUTPUT", "OUTPUT_FORMAT",
                                         "<Artist> \\ <Album> \\ <Title>"};
inline constexpr StringKey kOutputFolder{"OUTPUT", "OUTPUT_FOLDER", kUnsetFolder};

inline constexpr IntKey kMp3Sample{"MP3", "MP3_SAMPLE", 1};
inline constexpr IntKey kMp3Channels{"MP3", "MP3_CHANNELS", 1};
inline constexpr IntKey kMp3Bitrate{"MP3", "MP3_BITRATE", 8};
inline constexpr IntKey kMp3Quality{"MP3", "MP3_QUALITY", 7};
inline constexpr IntKey kMp3EnableVbr{"MP3", "MP3_ENABLEVBR", 1};
inline constexpr IntKey kMp3VbrMax{"MP3", "MP3_VBRMAX", 10};
inline constexpr IntKey kMp3VbrQuality{"MP3", "MP3_VBRQUALITY", 3};

inline constexpr IntKey kOggSample{"OGG", "OGG_SAMPLE", 0};
inline constexpr IntKey kOggChannels{"OGG", "OGG_CHANNELS", 1};
inline constexpr IntKey kOggEnableCbr{"OGG", "OGG_ENABLECBR", 0};
inline constexpr IntKey kOggEnableBbr{"OGG", "OGG_ENABLEBBR", 0};
inline constexpr IntKey kOggEnableVbr{"OGG", "OGG_ENABLEVBR", 1};
inline constexpr IntKey kOggBitrate{"OGG", "OGG_BITRATE", 0};
inline constexpr IntKey kOggBbrMin{"OGG", "OGG_BBR_MIN", 0};
inline constexpr IntKey kOggBbrNominal{"OGG", "OGG_BBR_NOR", 0};
inline constexpr IntKey kOggBbrMax{"OGG", "OGG_BBR_MAX", 3};
inline constexpr IntKey kOggVbrQuality{"OGG", "OGG_VBRQUALITY", 9};

inline constexpr IntKey kWavSample{"WAV", "WAV_SAMPLE", 1};
inline constexpr IntKey kWavChannels{"WAV", "WAV_CHANNELS", 1};
inline constexpr IntKey kWavBitrate{"WAV", "WAV_BITRATE", 1};

inline constexpr IntKey kWmaSample{"WMA", "WMA_SAMPLE", 0};
inline constexpr IntKey kWmaBitrate{"WMA", "WMA_BITRATE", 6};
inline constexpr IntKey kWmaUseDrm{"WMA", "WMA_USEDRM", 1};

inline constexpr IntKey kFlacLevel{"FLAC", "FLAC_LEVEL", 5};
inline constexpr IntKey kFlacVerify{"FLAC", "FLAC_VERIFY", 1};

inline constexpr IntKey kOpusBitrate{"OPUS", "OPUS_BITRATE", 5};  // 160 kbit/s

inline constexpr std::string_view kCddbSection = "CDDB";
inline constexpr IntKey kCddbCount{"CDDB", "CDDB_COUNT", 0};
// Per-server keys, formatted with the server number n from 0.
inline constexpr std::string_view kCddbServerFormat = "CDDB_SERVER%d";
inline constexpr std::string_view kCddbQueryFormat = "CDDB_QUERY%d";
inline constexpr std::string_view kCddbPortFormat = "CDDB_PORT%d";
inline constexpr std::string_view kCddbLocationFormat = "CDDB_LOCATION%d";
inline constexpr std::string_view kCddbServerFieldDefault = "NULL";
inline constexpr IntKey kCddbUseLocal{"CDDB", "CDDB_USE_LOCALCDDB", 1};
inline constexpr StringKey kCddbLocalPath{"CDDB", "CDDB_LOCALCDDB_PATH", kUnsetFolder};
inline constexpr IntKey kCddbAuto{"CDDB", "CDDB_AUTO", 1};
// The default is computed (login name, "@", host name), so only the place is fixed here.
inline constexpr std::string_view kCddbEmailName = "CDDB_EMAIL";

inline constexpr IntKey kProxyEnable{"PROXY", "PROXY_ENABLE", 0};
inline constexpr StringKey kProxyServer{"PROXY", "PROXY_SERVER", ""};
inline constexpr IntKey kProxyPort{"PROXY", "PROXY_PORT", 80};
inline constexpr StringKey kProxyUser{"PROXY", "PROXY_USER", ""};
inline constexpr IntKey kProxySavePassword{"PROXY", "PROXY_SAVE_PASSWORD", 0};
inline constexpr std::string_view kProxyPassword = "PROXY_PASSWORD";
inline constexpr StringKey kProxyPasswordKey{"PROXY", kProxyPassword, ""};

inline constexpr IntKey kAccurateRipEnable{"ACCURATERIP", "AR_ENABLE", 1};
inline constexpr StringKey kAccurateRipServer{"ACCURATERIP", "AR_SERVER", "www.accuraterip.com"};
inline constexpr IntKey kAccurateRipPort{"ACCURATERIP", "AR_PORT", 80};

// Read offsets in samples, one key per drive model (vendor, product and revision as INQUIRY gives
// them), absent for 0.
inline constexpr std::string_view kReadOffsetSection = "READ_OFFSET";

inline constexpr IntKey kMusicBrainzEnable{"MUSICBRAINZ", "MB_ENABLE", 1};
inline constexpr StringKey kMusicBrainzServer{"MUSICBRAINZ", "MB_SERVER", "musicbrainz.org"};
inline constexpr IntKey kMusicBrainzPort{"MUSICBRAINZ", "MB_PORT", 443};
inline constexpr IntKey kMusicBrainzTls{"MUSICBRAINZ", "MB_TLS", 1};
inline constexpr IntKey kCoverArtEnable{"MUSICBRAINZ", "CAA_ENABLE", 1};
inline constexpr StringKey kCoverArtServer{"MUSICBRAINZ", "CAA_SERVER", "coverartarchive.org"};
inline constexpr IntKey kCoverArtPort{"MUSICBRAINZ", "CAA_PORT", 443};
inline constexpr IntKey kCoverArtTls{"MUSICBRAINZ", "CAA_TLS", 1};

}  // namespace lumbra::keys
