#include "cdaccess/disc_extras.h"

#include <algorithm>

#include "cdaccess/cd_access_errors.h"
#include "cdaccess/last_error.h"
#include "cdaccess/mmc_commands.h"
#include "cdaccess/scsi_command.h"
#include "cdaccess/scsi_request.h"

namespace lumbra {
namespace {

// READ SUB-CHANNEL: a 4-byte header, then the data block: its kind at byte 4, a valid bit at
// byte 8 and the characters from byte 9.
constexpr size_t kSubChannelReplyBytes = 24;
constexpr size_t kValidByte = 8;
constexpr uint8_t kValidBit = 0x80;
constexpr size_t kCodeOffset = 9;
constexpr size_t kCatalogueLength = 13;
constexpr size_t kIsrcLength = 12;
constexpr size_t kMaxAllocation = 0xFFFF;

bool readInto(int handle, const mmc::Cdb& cdb, std::span<uint8_t> buffer) {
    return executeOnHandle(handle, CommandBlock(cdb, kFlagDataIn | kFlagEventNotify, buffer.data(),
                                                uint32_t(buffer.size()))) == kResultDone;
}

// The header first, for the length, then the whole reply; what a drive leaves unwritten stays
// zero and fails its packs' CRC check.
std::vector<uint8_t> readCdTextReply(int handle) {
    std::vector<uint8_t> reply(kCdTextReplyHeaderBytes);
    if (!readInto(handle, mmc::readTocFormat(kReadTocFormatCdText, uint16_t(reply.size())), reply))
        return {};
    const size_t length = (size_t(reply[0]) << 8 | reply[1]) + 2;
    if (length <= kCdTextReplyHeaderBytes) return {};
    // The allocation length field cannot ask for the last two bytes of the longest reply.
    reply.assign(std::min(length, kMaxAllocation), 0);
    if (!readInto(handle, mmc::readTocFormat(kReadTocFormatCdText, uint16_t(reply.size())), reply))
        return {};
    return reply;
}

std::string codeAt(std::span<const uint8_t> reply, uint8_t kind, size_t length) {
    if (reply.size() < kCodeOffset + length || reply[4] != kind) return {};
    if ((reply[kValidByte] & kValidBit) == 0) return {};
    return std::string(reinterpret_cast<const char*>(reply.data()) + kCodeOffset, length);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isUpper(char c) {
    return c >= 'A' && c <= 'Z';
}
bool isUpperOrDigit(char c) {
    return isUpper(c) || isDigit(c);
}

// Discs without a number often say valid with all zeros.
std::string validCatalogue(std::string code) {
    const bool ok = code.size() == kCatalogueLength && std::ranges::all_of(code, isDigit) &&
                    code.find_first_not_of('0') != std::string::npos;
    return ok ? code : std::string();
}

std::string validIsrc(std::string code) {
    const std::string_view view(code);
    const bool ok = code.size() == kIsrcLength && std::ranges::all_of(view.substr(0, 2), isUpper) &&
                    std::ranges::all_of(view.substr(2, 3), isUpperOrDigit) &&
                    std::ranges::all_of(view.substr(5), isDigit);
    return ok ? code : std::string();
}

std::string subChannelCode(int handle, uint8_t kind, uint8_t track) {
    std::vector<uint8_t> reply(kSubChannelReplyBytes);
    if (!readInto(handle, mmc::readSubChannel(kind, track, uint16_t(reply.size())), reply))
        return {};
    return kind == kSubChannelCatalogue ? catalogueFromReply(reply) : isrcFromReply(reply);
}

}  // namespace

std::string catalogueFromReply(std::span<const uint8_t> reply) {
    return validCatalogue(codeAt(reply, kSubChannelCatalogue, kCatalogueLength));
}

std::string isrcFromReply(std::span<const uint8_t> reply) {
    return validIsrc(codeAt(reply, kSubChannelIsrc, kIsrcLength));
}

DiscExtras readDiscExtras(int handle, const TocBuffer& toc) {
    const int error = takeLastError();
    DiscExtras extras;
    extras.cdText = parseCdText(readCdTextReply(handle));
    // The sub-channel is the disc's own record; CD-Text carries the same codes on some discs
    // whose drives cannot read them from the sub-channel.
    extras.catalogue = subChannelCode(handle, kSubChannelCatalogue, 0);
    if (extras.catalogue.empty()) extras.catalogue = validCatalogue(extras.cdText.entry(0).code);
    for (int track = toc.firstTrack; track <= toc.lastTrack && track <= kMaxCdTextTrack; ++track) {
        std::string isrc = subChannelCode(handle, kSubChannelIsrc, uint8_t(track));
        if (isrc.empty()) isrc = validIsrc(extras.cdText.entry(track).code);
        extras.isrcs.push_back(std::move(isrc));
    }
    setLastError(error);
    return extras;
}

}  // namespace lumbra
