#include "rip/id3v2_tag.h"

#include <taglib/commentsframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/textidentificationframe.h>
#include <memory>

namespace lumbra {
namespace {

TagLib::String unicode(const std::string& utf8) {
    return TagLib::String(utf8, TagLib::String::UTF8);
}

void addText(TagLib::ID3v2::Tag& tag, const char* id, const std::string& value) {
    if (value.empty()) return;
    auto frame = std::make_unique<TagLib::ID3v2::TextIdentificationFrame>(TagLib::ByteVector(id),
                                                                          TagLib::String::UTF16);
    frame->setText(unicode(value));
    tag.addFrame(frame.release());  // the tag owns its frames
}

void addComment(TagLib::ID3v2::Tag& tag, const std::string& value) {
    if (value.empty()) return;
    auto frame = std::make_unique<TagLib::ID3v2::CommentsFrame>(TagLib::String::UTF16);
    frame->setLanguage("und");  // the text may be in any language
    frame->setText(unicode(value));
    tag.addFrame(frame.release());
}

void addUserText(TagLib::ID3v2::Tag& tag, const char* description, const std::string& value) {
    if (value.empty()) return;
    auto frame = std::make_unique<TagLib::ID3v2::UserTextIdentificationFrame>(
        unicode(description), TagLib::StringList(unicode(value)), TagLib::String::UTF16);
    tag.addFrame(frame.release());
}

}  // namespace

std::vector<uint8_t> id3v2Tag(const TagValues& tags) {
    TagLib::ID3v2::Tag tag;
    addText(tag, "TIT2", tags.title);
    addText(tag, "TPE1", tags.artist);
    addText(tag, "TPE2", tags.albumArtist);
    addText(tag, "TALB", tags.album);
    addText(tag, "TYER", tags.year);
    addText(tag, "TRCK", std::to_string(tags.number) + "/" + std::to_string(tags.total));
    addText(tag, "TCON", tags.genre);
    addComment(tag, tags.comment);
    addText(tag, "TSRC", tags.isrc);
    addUserText(tag, "BARCODE", tags.catalogue);
    addText(tag, "TSSE", kEncoderName);
    const TagLib::ByteVector bytes = tag.render(TagLib::ID3v2::v3);
    return {bytes.begin(), bytes.end()};
}

}  // namespace lumbra
