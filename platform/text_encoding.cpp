#include "platform/text_encoding.h"

#include <iconv.h>
#include <cerrno>

#include "platform/utf8.h"

namespace lumbra::platform {
namespace {

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    ~Iconv() {
        if (ok()) iconv_close(cd_);
    }
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as it can; returns false at an input sequence it cannot take, leaving
    // `in` at it.
    bool convert(std::string_view& in, std::string& out) {
        char buffer[1024];
        while (!in.empty()) {
            char* src = const_cast<char*>(in.data());
            size_t srcLeft = in.size();
            char* dst = buffer;
            size_t dstLeft = sizeof buffer;
            const size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, size_t(dst - buffer));
            in.remove_prefix(in.size() - srcLeft);
            if (rc == size_t(-1) && errno != E2BIG) return false;
        }
        return true;
    }

private:
    iconv_t cd_;
};

// Bytes in the character `s` starts with; 0 when it does not start with one.
size_t utf8SequenceLength(std::string_view s) {
    size_t at = 0;
    return decodeUtf8Character(s, at) ? at : 0;
}

// Converts everything, putting `replacement` for each input byte the converter rejects.
std::string convertLossy(const char* to, const char* from, std::string_view in,
                         std::string_view replacement, bool skipWholeUtf8Character) {
    Iconv cd(to, from);
    std::string out;
    if (!cd.ok()) return out;
    while (!cd.convert(in, out)) {
        out += replacement;
        const size_t len = skipWholeUtf8Character ? utf8SequenceLength(in) : 0;
        in.remove_prefix(len ? len : 1);
    }
    return out;
}

}  // namespace

bool isValidUtf8(std::string_view text) {
    while (!text.empty()) {
        const size_t len = utf8SequenceLength(text);
        if (len == 0) return false;
        text.remove_prefix(len);
    }
    return true;
}

std::string utf8Prefix(std::string_view text, size_t maxBytes) {
    if (text.size() <= maxBytes) return std::string(text);
    size_t cut = maxBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return std::string(text.substr(0, cut));
}

std::string utf8ToGbk(std::string_view utf8) {
    return convertLossy("GBK", "UTF-8", utf8, "?", true);
}

std::string gb18030ToUtf8(std::string_view bytes) {
    return convertLossy("UTF-8", "GB18030", bytes, "\xEF\xBF\xBD", false);
}

std::string toUtf8FromUnknown(std::string_view bytes) {
    return isValidUtf8(bytes) ? std::string(bytes) : gb18030ToUtf8(bytes);
}

std::string decodeToUtf8(const char* encoding, std::string_view bytes) {
    return convertLossy("UTF-8", encoding, bytes, "\xEF\xBF\xBD", false);
}

std::optional<std::string> encodeFromUtf8(const char* encoding, std::string_view utf8) {
    Iconv cd(encoding, "UTF-8");
    std::string out;
    if (!cd.ok() || !cd.convert(utf8, out)) return std::nullopt;
    return out;
}

}  // namespace lumbra::platform
