#include "rip/cover_art.h"

#include <taglib/asffile.h>
#include <taglib/asfpicture.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

#include <filesystem>
#include <memory>

#include "platform/atomic_file.h"

namespace lumbra {
namespace {

constexpr const char* kCoverDescription = "Front cover";

bool isPng(std::string_view image) {
    return image.starts_with("\x89PNG");
}

TagLib::String mimeType(std::string_view image) {
    return isPng(image) ? "image/png" : "image/jpeg";
}

TagLib::ByteVector bytesOf(std::string_view image) {
    return TagLib::ByteVector(image.data(), unsigned(image.size()));
}

// The tag or file takes ownership of what it is given.
std::unique_ptr<TagLib::FLAC::Picture> flacPicture(std::string_view image) {
    auto picture = std::make_unique<TagLib::FLAC::Picture>();
    picture->setType(TagLib::FLAC::Picture::FrontCover);
    picture->setMimeType(mimeType(image));
    picture->setDescription(kCoverDescription);
    picture->setData(bytesOf(image));
    return picture;
}

bool embedInMp3(const char* path, std::string_view image) {
    TagLib::MPEG::File file(path, false);
    if (!file.isValid()) return false;
    TagLib::ID3v2::Tag& tag = *file.ID3v2Tag(true);
    tag.removeFrames("APIC");
    auto frame = std::make_unique<TagLib::ID3v2::AttachedPictureFrame>();
    frame->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
    frame->setMimeType(mimeType(image));
    frame->setDescription(kCoverDescription);
    frame->setPicture(bytesOf(image));
    tag.addFrame(frame.release());
    // Version 2.3 as the file was written, and the GBK version 1 tag at the end stays as it is.
    return file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone, TagLib::ID3v2::v3,
                     TagLib::File::DoNotDuplicate);
}

bool embedInFlac(const char* path, std::string_view image) {
    TagLib::FLAC::File file(path, false);
    if (!file.isValid()) return false;
    file.removePictures();
    file.addPicture(flacPicture(image).release());
    return file.save();
}

template <typename OggFile>
bool embedInOgg(const char* path, std::string_view image) {
    OggFile file(path, false);
    if (!file.isValid() || !file.tag()) return false;
    file.tag()->removeAllPictures();
    file.tag()->addPicture(flacPicture(image).release());
    return file.save();
}

bool embedInWma(const char* path, std::string_view image) {
    TagLib::ASF::File file(path, false);
    if (!file.isValid() || !file.tag()) return false;
    TagLib::ASF::Picture picture;
    picture.setType(TagLib::ASF::Picture::FrontCover);
    picture.setMimeType(mimeType(image));
    picture.setDescription(kCoverDescription);
    picture.setPicture(bytesOf(image));
    file.tag()->setAttribute("WM/Picture", TagLib::ASF::Attribute(picture));
    return file.save();
}

}  // namespace

bool embedCoverArt(const std::string& path, std::string_view image) {
    const char* file = path.c_str();
    if (path.ends_with(".mp3")) return embedInMp3(file, image);
    if (path.ends_with(".flac")) return embedInFlac(file, image);
    if (path.ends_with(".ogg")) return embedInOgg<TagLib::Ogg::Vorbis::File>(file, image);
    if (path.ends_with(".opus")) return embedInOgg<TagLib::Ogg::Opus::File>(file, image);
    if (path.ends_with(".wma")) return embedInWma(file, image);
    return true;
}

std::string coverFileName(std::string_view image) {
    return isPng(image) ? "cover.png" : "cover.jpg";
}

void CoverArtWriter::addTo(const std::string& trackPath, bool tags) {
    if (image_.empty()) return;
    if (tags) embedCoverArt(trackPath, image_);
    const std::filesystem::path folder = std::filesystem::path(trackPath).parent_path();
    {
        const std::lock_guard lock(mutex_);
        if (!folders_.insert(folder.string()).second) return;
    }
    platform::replaceFileAtomically((folder / coverFileName(image_)).string(), image_);
}

}  // namespace lumbra
