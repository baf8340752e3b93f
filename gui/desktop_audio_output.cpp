#include "gui/desktop_audio_output.h"

#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <algorithm>
#include <cstring>

namespace lumbra::gui {
namespace {

// CD samples are little-endian, as the sink's native order is on the machines we build for.
QAudioFormat cdFormat() {
    QAudioFormat format;
    format.setSampleRate(kCdSampleRate);
    format.setChannelCount(kCdChannels);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

// The sink pulls through a QIODevice. When the source has nothing yet (the first read is still
// under way) it gets a little silence instead, so it never stops asking.
class SourceDevice : public QIODevice {
public:
    void attach(SampleSource& source) { source_ = &source; }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        if (!source_ || maxSize <= 0) return 0;
        const size_t taken =
            source_->readSamples({reinterpret_cast<uint8_t*>(data), size_t(maxSize)});
        if (taken > 0) return qint64(taken);
        const qint64 silence = std::min(maxSize, kSilenceBytes);
        std::memset(data, 0, size_t(silence));
        return silence;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    // A fiftieth of a second of CD audio.
    static constexpr qint64 kSilenceBytes = kCdSampleRate / 50 * kCdSampleBytes;
    SampleSource* source_ = nullptr;
};

class DesktopAudioOutput : public AudioOutput {
public:
    explicit DesktopAudioOutput(const QAudioDevice& device) : sink_(device, cdFormat()) {}
    ~DesktopAudioOutput() override { stop(); }

    bool start(SampleSource& source) override {
        // After a pause the device still holds what it had taken; it plays that first.
        if (sink_.state() == QAudio::SuspendedState) {
            sink_.resume();
            return sink_.error() == QAudio::NoError;
        }
        stop();
        device_.attach(source);
        device_.open(QIODevice::ReadOnly);
        sink_.start(&device_);
        return sink_.error() == QAudio::NoError;
    }
    void suspend() override { sink_.suspend(); }
    void stop() override {
        sink_.stop();
        device_.close();
    }

private:
    SourceDevice device_;
    QAudioSink sink_;
};

}  // namespace

AudioOutputFactory desktopAudioOutputs() {
    return []() -> std::unique_ptr<AudioOutput> {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull() || !device.isFormatSupported(cdFormat())) return nullptr;
        return std::make_unique<DesktopAudioOutput>(device);
    };
}

}  // namespace lumbra::gui
