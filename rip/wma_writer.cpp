#include "rip/wma_writer.h"

#include <unistd.h>
#include <algorithm>
#include <optional>
#include <vector>

#include "rip/rip_messages.h"
#include "rip/sample_conversion.h"
#include "rip/temporary_pcm.h"
#include "rip/track_status.h"
#include "rip/track_writing.h"
#include "rip/wma_library_writer.h"

namespace lumbra {
namespace {

constexpr int kWholeTrack = 100;
constexpr uint64_t kConvertStart = 40;
constexpr uint64_t kConvertSpan = 60;
constexpr uint32_t kProgressEveryBlocks = 10;

enum class BlockEnd { Written, WriteFailed, Stopped };

// Hands `bytes` to the library in blocks of its size; with `stopBetween` a cleared ripRunning
// ends the feed after the block in hand.
BlockEnd writeBlocks(const RipSession& session, WmaWriter& writer, std::span<const uint8_t> bytes,
                     bool stopBetween) {
    for (size_t at = 0; at < bytes.size();) {
        const size_t count = std::min<size_t>(writer.blockSize(), bytes.size() - at);
        if (!writer.write(bytes.subspan(at, count))) return BlockEnd::WriteFailed;
        at += count;
        if (stopBetween && !session.flags.ripRunning) return BlockEnd::Stopped;
    }
    return BlockEnd::Written;
}

WmaParameters parametersOf(const TrackEntry& track) {
    return wmaParametersFor(wmaFromSlots(track.encoderSettings));
}

void encodeFromCd(const RipSession& session, RipContext& context, int handle, WmaWriter& writer,
                  SampleConverter& converter) {
    TrackEntry& track = *context.track;
    const auto settle = [&](BlockEnd end) {
        if (end == BlockEnd::WriteFailed) failOnWriteError(session, track, context.outputPath);
        if (end == BlockEnd::Stopped) track.status = kTrackCancelled;
        return end == BlockEnd::Written;
    };
    const auto sink = [&](std::span<const uint8_t> cd) {
        return settle(writeBlocks(session, writer, converter.convert(cd), true));
    };
    if (readTrackChunks(session, context, handle, kWholeTrack, false, sink) ==
        ReadOutcome::Complete) {
        settle(writeBlocks(session, writer, converter.finish(), true));
    }
}

// Feeds the temporary file to the library; false when a write failed.
bool encodeFromPcmFile(const RipSession& session, TrackEntry& track, TemporaryPcm& pcm,
                       WmaWriter& writer, SampleConverter& converter) {
    if (!pcm.isOpen()) {
        showRipError(session, rip_messages::kCannotOpenPcm);
        track.status = kTrackFailed;
        return true;
    }
    const uint64_t total = pcm.size();
    std::vector<uint8_t> block(writer.blockSize());
    uint64_t done = 0;
    for (uint32_t blocks = 0;; ++blocks) {
        const size_t count = pcm.read(block);
        if (count == 0) break;
        if (writeBlocks(session, writer, converter.convert({block.data(), count}), false) ==
            BlockEnd::WriteFailed) {
            return false;
        }
        if (!session.flags.ripRunning) {
            track.status = kTrackCancelled;
            return true;
        }
        done += count;
        if (blocks % kProgressEveryBlocks == 0) {
            track.status = int32_t(kConvertStart + done * kConvertSpan / total);
            postProgress(session, track);
        }
    }
    return writeBlocks(session, writer, converter.finish(), false) == BlockEnd::Written;
}

}  // namespace

void ripTrackToWma(const RipSession& session, RipContext& context) {
    TrackEntry& track = *context.track;
    if (!askOverwrite(session, context.outputPath))
        return endTrack(session, track, kTrackCancelled);
    std::optional<RipHandle> handle(std::in_place, session.drive);
    const WmaParameters parameters = parametersOf(track);
    WmaWriter writer(session.prompts);
    if (writer.open(context.outputPath, parameters)) {
        writer.setUseDrm(parameters.useDrm);
        SampleConverter converter(parameters.pcmFormat());
        encodeFromCd(session, context, handle->get(), writer, converter);
    } else {
        track.status = kTrackFailed;
    }
    handle.reset();
    if (!writer.finish() && track.status != kTrackFailed) {
        failOnWriteError(session, track, context.outputPath);
    }
    if (track.status == kTrackCancelled || track.status == kTrackFailed) {
        unlink(context.outputPath.c_str());
    } else {
        track.status = kTrackDone;
    }
    postProgress(session, track);
}

void encodePcmToWma(const RipSession& session, ConvertContext& context) {
    TrackEntry& track = *context.track;
    const WmaParameters parameters = parametersOf(track);
    WmaWriter writer(session.prompts);
    bool written = true;
    {
        TemporaryPcm pcm(context.pcmPath);
        if (!askOverwrite(session, context.outputPath)) {
            track.status = kTrackCancelled;
        } else if (!writer.open(context.outputPath, parameters)) {
            track.status = kTrackFailed;
        } else {
            writer.setUseDrm(parameters.useDrm);
            SampleConverter converter(parameters.pcmFormat());
            written = encodeFromPcmFile(session, track, pcm, writer, converter);
        }
        written = writer.finish() && written;
    }
    if (!written) {
        failOnWriteError(session, track, context.outputPath);
        unlink(context.outputPath.c_str());
    } else if (track.status != kTrackCancelled && track.status != kTrackFailed) {
        track.status = kTrackDone;
    }
    postProgress(session, track);
}

}  // namespace lumbra
