// The temporary file of CD audio the PCM writer filled, read once from its start by the encoder in
// pieces of one CD read. The encoding fills 40 to 100 percent of the track's pass. The job that
// created the file removes it once the encoder is done, whatever the outcome.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "rip/audio_source.h"
#include "rip/rip_context.h"

namespace lumbra {

class TemporaryPcm : public AudioSource {
public:
    // Opens `path` for reading; isOpen() tells whether that worked. `progressFrom`: the status
    // where the track's pass starts (passStatus).
    TemporaryPcm(const RipSession& session, TrackEntry& track, const std::string& path,
                 int32_t progressFrom);
    TemporaryPcm(const TemporaryPcm&) = delete;
    TemporaryPcm& operator=(const TemporaryPcm&) = delete;

    bool isOpen() const { return file_ != nullptr; }

    // End at the file's end; Unreadable once a read failed.
    Next next(std::vector<uint8_t>& piece) override;
    void release() override { file_.reset(); }

private:
    void showProgress();

    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    const RipSession& session_;
    TrackEntry& track_;
    const int32_t progressFrom_;
    std::unique_ptr<std::FILE, Closer> file_;
    const uint64_t size_;  // 0 when it cannot be told
    uint64_t delivered_ = 0;
    ProgressTurns progress_;
};

}  // namespace lumbra
