#include "rip/ogg_writer.h"

#include <unistd.h>
#include <array>
#include <cstdio>

#include "cdaccess/track_buffer.h"
#include "rip/ogg_track_writer.h"
#include "rip/track_status.h"
#include "rip/track_writing.h"

namespace lumbra {
namespace {

constexpr const char* kCannotOpenPcm = "无法打开 PCM 数据文件";
constexpr const char* kCannotReadPcm = "读取 PCM 数据文件出错";
constexpr int kWholeTrack = 100;
constexpr int kPcmPhase = 40;  // the temporary-file writer filled 0 to 40 percent
constexpr int kProgressEveryBlocks = 10;
constexpr size_t kSampleBufferBytes = 4096;  // 1024 CD sample frames

// The temporary file, read once and deleted when the converter returns, whatever the outcome.
class TemporaryPcm {
public:
    explicit TemporaryPcm(std::string path)
        : path_(std::move(path)), file_(std::fopen(path_.c_str(), "rb")) {}
    TemporaryPcm(const TemporaryPcm&) = delete;
    TemporaryPcm& operator=(const TemporaryPcm&) = delete;
    ~TemporaryPcm() {
        if (file_) std::fclose(file_);
        unlink(path_.c_str());
    }
    std::FILE* get() const { return file_; }

private:
    std::string path_;
    std::FILE* file_;
};

// A stream that has been ended: the file is closed and kept, or deleted after a write error.
void keepFinished(const RipSession& session, TrackEntry& track, OutputFile& file) {
    if (file.close()) {
        track.status = kTrackDone;
        return;
    }
    file.discard();
    failOnWriteError(session, track, file.path());
}

void postConvertProgress(const RipSession& session, TrackEntry& track, uint64_t done) {
    const uint64_t total = uint64_t(track.length) * kFrameBytes;
    if (total == 0) return;
    track.status = int32_t(kPcmPhase + std::min(done, total) * (kWholeTrack - kPcmPhase) / total);
    postProgress(session, track);
}

// Encodes the whole temporary file. A stop keeps what was written (without an end-of-stream
// page), so the file goes only after a write or read error.
void encodeTemporaryFile(const RipSession& session, TrackEntry& track, std::FILE* pcm,
                         OggTrackWriter& writer, OutputFile& file) {
    if (!writer.start()) return;
    std::array<uint8_t, kSampleBufferBytes> samples;
    uint64_t done = 0;
    for (int blocks = 0;; ++blocks) {
        const size_t count = std::fread(samples.data(), 1, samples.size(), pcm);
        if (count == 0) break;
        done += count;
        if (!writer.feed({samples.data(), count})) {
            if (track.status == kTrackCancelled) file.close();
            return;
        }
        if (blocks % kProgressEveryBlocks == 0) postConvertProgress(session, track, done);
    }
    if (std::ferror(pcm)) {
        showRipError(session, kCannotReadPcm);
        track.status = kTrackFailed;
        return;
    }
    if (writer.finish()) return keepFinished(session, track, file);
    if (track.status == kTrackCancelled) file.close();
}

}  // namespace

void ripTrackToOgg(const RipSession& session, RipContext& context) {
    TrackEntry& track = *context.track;
    const auto encoder = setUpVorbisEncoder(session, track, context.outputPath);
    if (!encoder) return;
    if (!askOverwrite(session, context.outputPath))
        return endTrack(session, track, kTrackCancelled);
    OutputFile file(context.outputPath);
    if (!createOutput(session, track, file)) return;
    RipHandle handle(session.drive);
    OggTrackWriter writer(session, track, *encoder, file);
    const auto sink = [&writer](std::span<const uint8_t> cd) { return writer.feed(cd); };
    if (writer.start() &&
        readTrackChunks(session, context, handle.get(), kWholeTrack, true, sink) ==
            ReadOutcome::Complete &&
        writer.finish()) {
        keepFinished(session, track, file);
    }
    postProgress(session, track);
}

void encodePcmToOgg(const RipSession& session, ConvertContext& context) {
    TrackEntry& track = *context.track;
    const TemporaryPcm pcm(context.pcmPath);
    if (!pcm.get()) {
        showRipError(session, kCannotOpenPcm);
        return endTrack(session, track, kTrackFailed);
    }
    const auto encoder = setUpVorbisEncoder(session, track, context.outputPath);
    if (!encoder) return;
    if (!askOverwrite(session, context.outputPath))
        return endTrack(session, track, kTrackCancelled);
    OutputFile file(context.outputPath);
    if (!createOutput(session, track, file)) return;
    OggTrackWriter writer(session, track, *encoder, file);
    encodeTemporaryFile(session, track, pcm.get(), writer, file);
    postProgress(session, track);
}

}  // namespace lumbra
