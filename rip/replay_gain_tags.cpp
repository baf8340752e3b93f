#include "rip/replay_gain_tags.h"

#include <taglib/asffile.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

namespace lumbra {
namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;

std::string fieldName(const char* kind, const char* value, bool lowerCase) {
    std::string name = std::string("REPLAYGAIN_") + kind + "_" + value;
    if (lowerCase) {
        for (char& c : name) c = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    }
    return name;
}

// The gain and peak of the track and of the album, those that are known.
Fields replayGainFields(const ReplayGainTags& values, bool lowerCase) {
    Fields fields;
    const auto add = [&](const char* kind, const GainAndPeak& value) {
        fields.emplace_back(fieldName(kind, "GAIN", lowerCase), gainText(value.gain));
        fields.emplace_back(fieldName(kind, "PEAK", lowerCase), peakText(value.peak));
    };
    if (values.track) add("TRACK", *values.track);
    if (values.album) add("ALBUM", *values.album);
    return fields;
}

void setXiphFields(TagLib::Ogg::XiphComment& comment, const Fields& fields) {
    for (const auto& [key, value] : fields)
        comment.addField(key, TagLib::String(value, TagLib::String::UTF8), true);
}

bool writeVorbis(const char* path, const ReplayGainTags& values) {
    TagLib::Ogg::Vorbis::File file(path, false);
    if (!file.isValid() || !file.tag()) return false;
    setXiphFields(*file.tag(), replayGainFields(values, false));
    return file.save();
}

bool writeFlac(const char* path, const ReplayGainTags& values) {
    TagLib::FLAC::File file(path, false);
    if (!file.isValid()) return false;
    setXiphFields(*file.xiphComment(true), replayGainFields(values, false));
    return file.save();
}

// Opus players apply R128_* gains and ignore REPLAYGAIN_*, which the format's rules forbid.
bool writeOpus(const char* path, const ReplayGainTags& values) {
    TagLib::Ogg::Opus::File file(path, false);
    if (!file.isValid() || !file.tag()) return false;
    Fields fields;
    if (values.track)
        fields.emplace_back("R128_TRACK_GAIN", std::to_string(r128Gain(values.track->gain)));
    if (values.album)
        fields.emplace_back("R128_ALBUM_GAIN", std::to_string(r128Gain(values.album->gain)));
    setXiphFields(*file.tag(), fields);
    return file.save();
}

bool writeMp3(const char* path, const ReplayGainTags& values) {
    TagLib::MPEG::File file(path, false);
    if (!file.isValid()) return false;
    TagLib::ID3v2::Tag& tag = *file.ID3v2Tag(true);
    for (const auto& [key, value] : replayGainFields(values, false)) {
        const TagLib::String description(key, TagLib::String::UTF8);
        if (auto* old = TagLib::ID3v2::UserTextIdentificationFrame::find(&tag, description))
            tag.removeFrame(old);
        auto frame = std::make_unique<TagLib::ID3v2::UserTextIdentificationFrame>(
            description, TagLib::StringList(TagLib::String(value)), TagLib::String::UTF16);
        tag.addFrame(frame.release());  // the tag owns its frames
    }
    // Version 2.3 as the file was written, and the GBK version 1 tag at the end stays as it is.
    return file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone, TagLib::ID3v2::v3,
                     TagLib::File::DoNotDuplicate);
}

bool writeWma(const char* path, const ReplayGainTags& values) {
    TagLib::ASF::File file(path, false);
    if (!file.isValid() || !file.tag()) return false;
    for (const auto& [key, value] : replayGainFields(values, true))
        file.tag()->setAttribute(key, TagLib::ASF::Attribute(TagLib::String(value)));
    return file.save();
}

bool endsWith(const std::string& path, std::string_view extension) {
    return path.ends_with(extension);
}

}  // namespace

std::string gainText(double gain) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f dB", gain);
    return text;
}

std::string peakText(double peak) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", peak);
    return text;
}

int r128Gain(double replayGain) {
    const double steps = std::round((replayGain + kOpusReference - kReplayGainReference) * 256.0);
    return int(std::clamp(steps, -32768.0, 32767.0));
}

bool writeReplayGainTags(const std::string& path, const ReplayGainTags& values) {
    const char* file = path.c_str();
    if (endsWith(path, ".mp3")) return writeMp3(file, values);
    if (endsWith(path, ".ogg")) return writeVorbis(file, values);
    if (endsWith(path, ".flac")) return writeFlac(file, values);
    if (endsWith(path, ".opus")) return writeOpus(file, values);
    if (endsWith(path, ".wma")) return writeWma(file, values);
    return true;
}

}  // namespace lumbra
