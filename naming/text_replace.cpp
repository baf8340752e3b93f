#include "naming/text_replace.h"

namespace lumbra {

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (size_t pos = text.find(from); pos != std::string::npos;
         pos = text.find(from, pos + to.size())) {
        text.replace(pos, from.size(), to);
    }
}

void replaceUntilGone(std::string& text, std::string_view from, std::string_view to) {
    for (size_t pos = text.find(from); pos != std::string::npos;) {
        text.replace(pos, from.size(), to);
        // Everything before `pos` was clean, so a new occurrence must overlap the replacement.
        const size_t overlap = from.size() - 1;
        pos = text.find(from, pos > overlap ? pos - overlap : 0);
    }
}

}  // namespace lumbra
