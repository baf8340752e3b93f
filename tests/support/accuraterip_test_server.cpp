#include "support/accuraterip_test_server.h"

namespace lumbra::test {
namespace {

void putWord(std::string& bytes, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) bytes += char(value >> shift & 0xFF);
}

}  // namespace

std::string accurateRipBody(const std::vector<AccurateRipPressing>& pressings) {
    std::string bytes;
    for (const AccurateRipPressing& p : pressings) {
        bytes += char(p.tracks.size());
        putWord(bytes, p.id.id1);
        putWord(bytes, p.id.id2);
        putWord(bytes, p.id.cddb);
        for (const AccurateRipTrack& t : p.tracks) {
            bytes += char(t.confidence);
            putWord(bytes, t.checksum);
            putWord(bytes, t.frame450);
        }
    }
    return bytes;
}

}  // namespace lumbra::test
