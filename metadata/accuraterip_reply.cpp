#include "metadata/accuraterip_reply.h"

namespace lumbra {
namespace {

constexpr size_t kHeaderBytes = 13;
constexpr size_t kTrackBytes = 9;

// Reads the reply front to back; every read checks the room left.
class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : rest_(bytes) {}

    size_t left() const { return rest_.size(); }
    uint8_t byte() {
        const auto value = uint8_t(rest_.front());
        rest_.remove_prefix(1);
        return value;
    }
    uint32_t word() {
        uint32_t value = 0;
        for (int shift = 0; shift < 32; shift += 8) value |= uint32_t(byte()) << shift;
        return value;
    }

private:
    std::string_view rest_;
};

}  // namespace

std::vector<AccurateRipPressing> parseAccurateRipReply(std::string_view body) {
    std::vector<AccurateRipPressing> pressings;
    ByteReader reader(body);
    while (reader.left() >= kHeaderBytes) {
        AccurateRipPressing pressing;
        pressing.id.audioTracks = reader.byte();
        pressing.id.id1 = reader.word();
        pressing.id.id2 = reader.word();
        pressing.id.cddb = reader.word();
        if (reader.left() < size_t(pressing.id.audioTracks) * kTrackBytes) break;
        for (int t = 0; t < pressing.id.audioTracks; ++t) {
            AccurateRipTrack track;
            track.confidence = reader.byte();
            track.checksum = reader.word();
            track.frame450 = reader.word();
            pressing.tracks.push_back(track);
        }
        pressings.push_back(std::move(pressing));
    }
    return pressings;
}

std::optional<HttpReply> splitHttpReply(std::string_view reply) {
    constexpr std::string_view kVersion = "HTTP/1.";
    if (!reply.starts_with(kVersion)) return std::nullopt;
    const size_t space = reply.find(' ');
    const size_t headerEnd = reply.find("\r\n\r\n");
    if (space == std::string_view::npos || headerEnd == std::string_view::npos ||
        space > headerEnd || headerEnd - space < 4) {
        return std::nullopt;
    }
    int status = 0;
    for (size_t i = space + 1; i < space + 4; ++i) {
        if (reply[i] < '0' || reply[i] > '9') return std::nullopt;
        status = status * 10 + (reply[i] - '0');
    }
    return HttpReply{status, reply.substr(headerEnd + 4)};
}

}  // namespace lumbra
