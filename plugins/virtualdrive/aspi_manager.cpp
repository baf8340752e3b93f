#include "plugins/virtualdrive/aspi_manager.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <span>

#include "cdaccess/scsi_request.h"
#include "platform/manual_reset_event.h"

namespace lumbra::virtualdrive {
namespace {

constexpr uint8_t kOwnScsiId = 7;
constexpr uint32_t kMaxTransferBytes = 0x10000;
constexpr char kManagerId[] = "LUMBRA VIRTUAL  ";
constexpr char kAdapterId[] = "VIRTUAL ADAPTER0";  // the last character is the adapter's digit
constexpr uint8_t kTargetStatusCheckCondition = 0x02;
constexpr uint8_t kAdapterStatusDataOverrun = 0x12;
constexpr uint8_t kFixedSenseCurrent = 0x70;
constexpr uint8_t kSenseAdditionalLength = 10;

uint32_t finish(ScsiRequestHeader& header, uint8_t status) {
    header.status = status;
    return status;
}

// Pollers read the status while the worker writes it: it goes last, with release order.
void publishStatus(ScsiRequestHeader& header, uint8_t status) {
    std::atomic_ref<uint8_t>(header.status).store(status, std::memory_order_release);
}

uint32_t answerAdapterInquiry(AdapterInquiryRequest& request, int adapters) {
    request.adapterCount = uint8_t(adapters);
    if (request.header.adapter >= adapters) return finish(request.header, kStatusInvalidAdapter);
    request.scsiId = kOwnScsiId;
    std::memcpy(request.managerId, kManagerId, sizeof request.managerId);
    std::memcpy(request.adapterId, kAdapterId, sizeof request.adapterId);
    request.adapterId[15] = char('0' + request.header.adapter);
    std::memset(request.adapterSpecific, 0, sizeof request.adapterSpecific);
    request.adapterSpecific[3] = kTargetsPerAdapter;
    for (int i = 0; i < 4; ++i) {
        request.adapterSpecific[4 + i] = uint8_t(kMaxTransferBytes >> (8 * i));
    }
    return finish(request.header, kStatusDone);
}

uint32_t answerDeviceType(VirtualDriveLibrary& library, DeviceTypeRequest& request) {
    const auto drive = library.driveAt(request.header.adapter, request.target, request.lun);
    const bool present = drive != nullptr;
    if (drive) drive->opened();
    request.deviceType = present ? kDeviceTypeCdRom : kDeviceTypeUnknown;
    return finish(request.header, present ? kStatusDone : kStatusNoDevice);
}

// Returns the event to signal, or -1. A caller that polls may free the request as soon as it sees
// the status: nothing of it is read after that.
int complete(ScsiRequest& request, const CommandOutcome& outcome, bool later) {
    const bool notify =
        later && (request.header.flags & kFlagEventNotify) && request.completionEvent >= 0;
    const int event = request.completionEvent;
    uint8_t status = kStatusDone;
    request.adapterStatus = 0;
    request.targetStatus = 0;
    if (outcome.kind == CommandOutcome::Kind::DataOverrun) {
        request.adapterStatus = kAdapterStatusDataOverrun;
        status = kStatusError;
    } else if (outcome.kind == CommandOutcome::Kind::CheckCondition) {
        uint8_t sense[18] = {kFixedSenseCurrent, 0, outcome.sense.key};
        sense[7] = kSenseAdditionalLength;
        sense[12] = outcome.sense.asc;
        sense[13] = outcome.sense.ascq;
        std::memcpy(request.sense, sense,
                    std::min<size_t>(request.senseLength, sizeof request.sense));
        request.targetStatus = kTargetStatusCheckCondition;
        status = kStatusError;
    }
    publishStatus(request.header, status);
    return notify ? event : -1;
}

void signalLater(CommandScheduler& scheduler, int event, std::chrono::milliseconds lag) {
    if (event < 0) return;
    if (lag.count() == 0) {
        platform::signalEventDescriptor(event);
        return;
    }
    try {
        scheduler.schedule(CommandScheduler::Clock::now() + lag,
                           [event] { platform::signalEventDescriptor(event); });
    } catch (const std::exception&) {
        platform::signalEventDescriptor(event);
    }
}

uint32_t startExecute(VirtualDriveLibrary& library, ScsiRequest& request) {
    auto drive = library.driveAt(request.header.adapter, request.target, request.lun);
    if (!drive) return finish(request.header, kStatusNoDevice);
    const bool malformed = request.cdbLength == 0 || request.cdbLength > sizeof request.cdb ||
                           (request.buffer == nullptr && request.bufferLength > 0);
    if (malformed) return finish(request.header, kStatusError);

    Cdb cdb{};
    std::copy_n(request.cdb, request.cdbLength, cdb.begin());
    const std::span<uint8_t> buffer(request.buffer, request.bufferLength);
    const auto timing = library.completionTiming();
    if (timing.delay.count() == 0) {
        // Handing an undelayed command to the worker and back costs two thread switches per
        // read, more than the read itself; the caller waits only for a pending status.
        complete(request, drive->execute(cdb, buffer), false);
        return request.header.status;
    }
    const auto due = CommandScheduler::Clock::now() + timing.delay;
    // Pending before the worker can see the request, so that its result is never overwritten.
    publishStatus(request.header, kStatusPending);
    try {
        library.scheduler().schedule(due, [&library, drive = std::move(drive), &request, cdb,
                                           buffer, lag = timing.signalLag] {
            const int event = complete(request, drive->execute(cdb, buffer), true);
            signalLater(library.scheduler(), event, lag);
        });
    } catch (const std::exception&) {
        return finish(request.header, kStatusError);
    }
    return kStatusPending;
}

}  // namespace

uint32_t aspiSupportInfo(VirtualDriveLibrary& library) {
    return uint32_t(kStatusDone) << 8 | uint32_t(library.adapterCount());
}

uint32_t aspiSendCommand(VirtualDriveLibrary& library, void* request) {
    if (!request) return kStatusError;
    auto& header = *static_cast<ScsiRequestHeader*>(request);
    switch (header.command) {
        case kRequestAdapterInquiry:
            return answerAdapterInquiry(*static_cast<AdapterInquiryRequest*>(request),
                                        library.adapterCount());
        case kRequestDeviceType:
            return answerDeviceType(library, *static_cast<DeviceTypeRequest*>(request));
        case kRequestExecute:
            return startExecute(library, *static_cast<ScsiRequest*>(request));
        default:
            return finish(header, kStatusError);
    }
}

}  // namespace lumbra::virtualdrive
