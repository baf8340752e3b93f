// An AccurateRip reply comes from any server or proxy on the way: whatever its bytes, parsing
// ends, every pressing holds exactly the tracks its count byte announced, and only pressings of
// the disc asked for survive to give a verdict.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "metadata/accuraterip_verdict.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace lumbra;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto http = splitHttpReply(bytes);
    const std::string_view body = http ? http->body : bytes;
    if (http && (http->status < 0 || http->status > 999 || body.size() > size)) std::abort();
    const auto pressings = parseAccurateRipReply(body);
    size_t used = 0;
    for (const AccurateRipPressing& p : pressings) {
        if (p.tracks.size() != size_t(p.id.audioTracks)) std::abort();
        used += 13 + 9 * p.tracks.size();
    }
    if (used > body.size()) std::abort();
    if (pressings.empty()) return 0;
    const AccurateRipDiscId disc = pressings.front().id;
    const AccurateRipLookup lookup = lookupFromReply(pressings, disc);
    for (const AccurateRipPressing& p : lookup.pressings) {
        if (!(p.id == disc)) std::abort();
    }
    for (int track = 0; track <= disc.audioTracks + 1; ++track) {
        const AccurateRipVerdict verdict = verdictFor(lookup, track, 0, 0);
        if (verdict.result == AccurateRipResult::Accurate && verdict.confidence <= 0) std::abort();
    }
    return 0;
}
