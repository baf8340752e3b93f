#include "rip/xiph_comments.h"

namespace lumbra {

VorbisComments xiphCommentsFor(const TagValues& tags) {
    VorbisComments comments = vorbisCommentsFor(tags);
    if (!tags.comment.empty()) comments.emplace_back("COMMENT", tags.comment);
    return comments;
}

}  // namespace lumbra
