// The binary interface between the WMA writers and the writer library they load at run time:
// one C entry point returning a reference-counted object whose first field points to a table of
// functions. The table's order is the contract; both sides compile against this one header.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumbra {

// Status codes: negative for failure, as the component-object convention has them.
inline constexpr int32_t kWmaOk = 0;
inline constexpr int32_t kWmaNotImplemented = int32_t(0x80004001u);
inline constexpr int32_t kWmaNoInterface = int32_t(0x80004002u);
inline constexpr int32_t kWmaNullPointer = int32_t(0x80004003u);
inline constexpr int32_t kWmaFailed = int32_t(0x80004005u);
inline constexpr int32_t kWmaUnexpected = int32_t(0x8000FFFFu);
inline constexpr int32_t kWmaOutOfMemory = int32_t(0x8007000Eu);
inline constexpr int32_t kWmaInvalidArgument = int32_t(0x80070057u);

inline constexpr uint16_t kWaveFormatPcm = 1;
// The attribute type of a 32-bit flag.
inline constexpr int32_t kWmaFlagAttribute = 3;
inline constexpr char16_t kWmaUseDrmAttribute[] = u"use_drm";
// The attribute type of a text: UTF-16, terminated, its size in bytes with the terminator.
inline constexpr int32_t kWmaTextAttribute = 1;
// The text attributes the file carries as its metadata; each is set before the output format,
// which writes the file's header.
inline constexpr const char16_t* kWmaTagAttributes[] = {
    u"Title",    u"Author",         u"WM/AlbumArtist", u"WM/AlbumTitle", u"WM/Year",
    u"WM/Genre", u"WM/TrackNumber", u"WM/ISRC",        u"WM/Barcode"};

extern "C" {

#pragma pack(push, 1)
// The PCM wave-format record, packed as on the platform it comes from.
struct WmaWaveFormat {
    uint16_t formatTag;
    uint16_t channels;
    uint32_t samplesPerSecond;
    uint32_t averageBytesPerSecond;
    uint16_t blockAlign;
    uint16_t bitsPerSample;
    uint16_t extraSize;
};
#pragma pack(pop)

static_assert(sizeof(WmaWaveFormat) == 18);
static_assert(offsetof(WmaWaveFormat, channels) == 2 &&
              offsetof(WmaWaveFormat, samplesPerSecond) == 4 &&
              offsetof(WmaWaveFormat, averageBytesPerSecond) == 8 &&
              offsetof(WmaWaveFormat, blockAlign) == 12 &&
              offsetof(WmaWaveFormat, bitsPerSample) == 14 &&
              offsetof(WmaWaveFormat, extraSize) == 16);

struct IWmaAudioWriter;

// One slot per entry, in this order; every entry takes the object as its first argument.
struct IWmaAudioWriterTable {
    // 0, 1: not called by the writers
    int32_t (*queryInterface)(IWmaAudioWriter* self, const void* interfaceId, void** object);
    uint32_t (*addReference)(IWmaAudioWriter* self);
    // 2: drops a reference; the last one frees the object
    uint32_t (*release)(IWmaAudioWriter* self);
    // 3
    int32_t (*setAttribute)(IWmaAudioWriter* self, const char16_t* name, int32_t type,
                            const void* value, uint32_t size);
    // 4: the PCM format of the bytes that will be written
    int32_t (*setInputFormat)(IWmaAudioWriter* self, const WmaWaveFormat* format);
    // 5: the encoding to produce; `reserved` is 0
    int32_t (*setOutputFormat)(IWmaAudioWriter* self, uint32_t bitsPerSecond, uint32_t sampleRate,
                               uint32_t channels, uint32_t reserved);
    // 6: not called by the writers
    int32_t (*reserved6)(IWmaAudioWriter* self);
    // 7: appends PCM bytes
    int32_t (*writeSamples)(IWmaAudioWriter* self, const uint8_t* bytes, uint32_t count);
    // 8: completes and closes the file
    int32_t (*finish)(IWmaAudioWriter* self);
};

static_assert(offsetof(IWmaAudioWriterTable, release) == 2 * sizeof(void*) &&
              offsetof(IWmaAudioWriterTable, writeSamples) == 7 * sizeof(void*) &&
              sizeof(IWmaAudioWriterTable) == 9 * sizeof(void*));

struct IWmaAudioWriter {
    const IWmaAudioWriterTable* table;
};

// Creates the file at `path` (UTF-16, terminated) and a writer for it, with one reference.
typedef int32_t (*WmaCreateWriterFunction)(const char16_t* path, IWmaAudioWriter** writer);

}  // extern "C"

inline constexpr const char* kWmaCreateWriterName = "WMAudioCreateWriter";

}  // namespace lumbra
