// WMA output through the writer library, loaded for each track: the library writes the file
// itself, at the path of the sink it is given, from samples converted to the rate and channels
// it is told.
#pragma once

#include <optional>
#include <vector>

#include "rip/sample_conversion.h"
#include "rip/track_encoder.h"
#include "rip/wma_library_writer.h"

namespace lumbra {

// Tests for the library before each track; the track is passed over when it is missing.
class WmaEncoderFactory : public EncoderFactory {
public:
    std::optional<std::string> unavailable() override;
    std::unique_ptr<TrackEncoder> create(const TrackToEncode& track) override;
};

class WmaEncoder : public TrackEncoder {
public:
    explicit WmaEncoder(const TrackToEncode& track);

    // The sink must be a file: the library opens it by name.
    EncodeStep start(ByteSink& sink) override;
    EncodeStep feed(std::span<const uint8_t> cdAudio) override;
    EncodeStep finish() override;
    uint64_t bytesPerSecond() const override;

private:
    // The writer's boxes, kept until the step that caused them hands them to the driver.
    class HeldMessages : public Prompts {
    public:
        std::vector<Message> held;
        MessageAnswer show(const Message& message) override {
            held.push_back(message);
            return MessageAnswer::Ok;
        }
    };

    EncodeStep writeBlocks(std::span<const uint8_t> bytes);
    EncodeStep withMessages(EncodeStep step);

    TrackToEncode track_;
    HeldMessages messages_;
    WmaWriter writer_{messages_};
    std::optional<SampleConverter> converter_;
};

}  // namespace lumbra
