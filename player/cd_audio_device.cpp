#include "player/cd_audio_device.h"

#include <algorithm>
#include <cstring>

#include "cdaccess/audio_reads.h"
#include "cdaccess/cd_access.h"
#include "cdaccess/cd_access_errors.h"
#include "cdaccess/cd_handle.h"
#include "cdaccess/toc_validation.h"
#include "cdaccess/track_extent.h"
#include "cdaccess/tray.h"

namespace lumbra {
namespace {

struct TrackSpan {
    int32_t start = 0;
    int32_t end = 0;
};

// The frames of audio track `track` (from 1), or nullopt.
std::optional<TrackSpan> audioTrack(const TocBuffer& toc, int track) {
    const int position = track - toc.firstTrack;
    if (track < toc.firstTrack || track > toc.lastTrack) return std::nullopt;
    const TocDescriptor& descriptor = toc.descriptors[position];
    if (isDataTrack(descriptor)) return std::nullopt;
    return TrackSpan{descriptorLba(descriptor, false), trackEndLba(toc, position)};
}

}  // namespace

std::unique_ptr<CdAudioDevice> CdAudioDevice::open(const OpenDriveRequest& request,
                                                   std::unique_ptr<AudioOutput> output) {
    if (!output || !CdHandle(request).get()) return nullptr;
    return std::unique_ptr<CdAudioDevice>(new CdAudioDevice(request, std::move(output)));
}

CdAudioDevice::CdAudioDevice(const OpenDriveRequest& request, std::unique_ptr<AudioOutput> output)
    : request_(request),
      stream_([this](int32_t first, int32_t count, std::span<uint8_t> out) {
          return readFrames(first, count, out);
      }),
      output_(std::move(output)) {}

CdAudioDevice::~CdAudioDevice() {
    stop();
}

bool CdAudioDevice::setTimeFormat(TimeFormat format) {
    return format == TimeFormat::Tmsf;
}

const TocBuffer* CdAudioDevice::toc() {
    if (toc_) return &*toc_;
    CdHandle handle(request_);
    TocBuffer toc{};
    if (!handle.get() || readDiscToc(handle.get(), toc) != kResultDone || !isPlausibleToc(toc))
        return nullptr;
    return &toc_.emplace(toc);
}

std::optional<Msf> CdAudioDevice::trackLength(int track) {
    const TocBuffer* table = toc();
    if (!table) return std::nullopt;
    const auto span = audioTrack(*table, track);
    if (!span) return std::nullopt;
    return msfFromFrames(span->end - span->start);
}

std::optional<Tmsf> CdAudioDevice::position() {
    const TocBuffer* table = toc();
    if (!table) return std::nullopt;
    const int32_t frame = stream_.position();
    for (int track = table->lastTrack; track >= table->firstTrack; --track) {
        const TocDescriptor& descriptor = table->descriptors[track - table->firstTrack];
        const int32_t start = descriptorLba(descriptor, false);
        if (frame >= start) return Tmsf{track, msfFromFrames(frame - start)};
    }
    return Tmsf{table->firstTrack, {}};
}

std::optional<int32_t> CdAudioDevice::frameOf(const Tmsf& time) {
    const TocBuffer* table = toc();
    if (!table) return std::nullopt;
    const auto span = audioTrack(*table, time.track);
    if (!span) return std::nullopt;
    return std::min(span->end, span->start + time.time.totalFrames());
}

bool CdAudioDevice::play(const Tmsf& from, const Tmsf& to, std::function<void()> notify) {
    const auto first = frameOf(from);
    const auto end = frameOf(to);
    if (!first || !end || *end <= *first) return false;
    stream_.start(*first, *end, std::move(notify));
    if (!output_->start(stream_)) {
        stream_.halt();
        mode_ = DeviceMode::Stopped;
        return false;
    }
    mode_ = DeviceMode::Playing;
    return true;
}

bool CdAudioDevice::pause() {
    if (mode_ != DeviceMode::Playing) return false;
    output_->suspend();
    // What was read ahead is dropped: playing on starts from the position, as it reads again.
    stream_.halt();
    mode_ = DeviceMode::Paused;
    return true;
}

bool CdAudioDevice::stop() {
    output_->stop();
    stream_.halt();
    mode_ = DeviceMode::Stopped;
    return true;
}

bool CdAudioDevice::setDoor(bool open) {
    stop();
    toc_.reset();
    return moveTrayOf(request_, open);
}

bool CdAudioDevice::readFrames(int32_t first, int32_t count, std::span<uint8_t> out) const {
    CdHandle handle(request_);
    if (!handle.get()) return false;
    TrackBuffer buffer = TrackBuffer::forFrames(count);
    buffer.setRequest(first, count);
    if (readAudioFrames(handle.get(), buffer) != kResultDone) return false;
    const auto data = buffer.validData();
    if (data.size() != out.size()) return false;
    std::memcpy(out.data(), data.data(), out.size());
    return true;
}

}  // namespace lumbra
