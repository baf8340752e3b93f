#include "rip/temporary_pcm.h"

#include <algorithm>
#include <filesystem>

#include "cdaccess/track_buffer.h"
#include "rip/rip_steps.h"

namespace lumbra {
namespace {

constexpr uint64_t kEncodingStart = 40;  // the CD phase filled 0 to 40 percent
constexpr uint64_t kEncodingSpan = 60;
constexpr size_t kPieceBytes = size_t(kRipReadFrames) * kFrameBytes;

uint64_t fileSize(const std::string& path) {
    std::error_code error;
    const uintmax_t bytes = std::filesystem::file_size(path, error);
    return error ? 0 : uint64_t(bytes);
}

}  // namespace

TemporaryPcm::TemporaryPcm(const RipSession& session, TrackEntry& track, const std::string& path,
                           int32_t progressFrom)
    : session_(session),
      track_(track),
      progressFrom_(progressFrom),
      file_(std::fopen(path.c_str(), "rb")),
      size_(fileSize(path)) {}

AudioSource::Next TemporaryPcm::next(std::vector<uint8_t>& piece) {
    piece.resize(kPieceBytes);
    const size_t count = std::fread(piece.data(), 1, piece.size(), file_.get());
    if (count == 0) return std::ferror(file_.get()) ? Next::Unreadable : Next::End;
    piece.resize(count);
    if (progress_.due()) showProgress();
    delivered_ += count;
    return Next::Audio;
}

void TemporaryPcm::showProgress() {
    const uint64_t percent =
        kEncodingStart + std::min(delivered_, size_) * kEncodingSpan / std::max<uint64_t>(size_, 1);
    track_.status = passStatus(progressFrom_, int32_t(percent));
    postProgress(session_, track_);
}

}  // namespace lumbra
