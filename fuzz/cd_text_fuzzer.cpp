// Hostile READ TOC format 5 and READ SUB-CHANNEL replies: whatever a drive sends, the parsers
// stay inside it and hand back valid UTF-8.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "cdaccess/cd_text.h"
#include "cdaccess/disc_extras.h"
#include "platform/text_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> reply(data, size);
    const lumbra::CdText text = lumbra::parseCdText(reply);
    for (const lumbra::CdTextFields& fields : text.entries) {
        for (const std::string* value : {&fields.title, &fields.performer, &fields.songwriter,
                                         &fields.composer, &fields.arranger, &fields.code}) {
            if (!lumbra::platform::isValidUtf8(*value)) std::abort();
        }
    }
    if (lumbra::catalogueFromReply(reply).size() % 13 != 0) std::abort();
    if (lumbra::isrcFromReply(reply).size() % 12 != 0) std::abort();
    return 0;
}
