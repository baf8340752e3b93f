#include "cdaccess/scsi_command.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "cdaccess/cd_access.h"
#include "cdaccess/cd_access_errors.h"
#include "cdaccess/last_error.h"
#include "cdaccess/scsi_request.h"
#include "cdaccess/scsi_transport.h"
#include "cdaccess/slot_access.h"
#include "platform/manual_reset_event.h"

namespace lumbra {
namespace {

// A request and everything its completer may still touch. The completer gets a buffer of the
// request's own, not the caller's: if the completion comes after the time-out, it writes into
// memory that is still ours, never into a caller's buffer that is gone.
struct PendingCommand {
    ScsiRequest request{};
    platform::ManualResetEvent event;
    std::vector<uint8_t> data;
    bool signalDue = false;  // the transport took it as pending and will signal the event
};

std::mutex gAbandonedMutex;
std::vector<std::unique_ptr<PendingCommand>> gAbandoned;
std::atomic<size_t> gAbandonedCount{0};  // read without the lock on every command

void abandon(std::unique_ptr<PendingCommand> command) {
    std::lock_guard lock(gAbandonedMutex);
    gAbandoned.push_back(std::move(command));
    gAbandonedCount = gAbandoned.size();
}

// The completer writes the status while the caller may be reading it.
uint8_t statusOf(ScsiRequest& request) {
    return std::atomic_ref<uint8_t>(request.header.status).load(std::memory_order_acquire);
}

// The completer signals the event after it writes the status, so a command is done with only
// once both have happened; until then its memory and event must stay, or its late signal would
// land on a closed descriptor or on whatever file took its number. Draining the signal orders
// the completer's write before the descriptor's next use.
bool completerIsDone(PendingCommand& command) {
    if (statusOf(command.request) == kStatusPending) return false;
    if (!command.signalDue) return true;
    if (!command.event.wait(std::chrono::milliseconds(0))) return false;
    command.event.reset();
    return true;
}

// A thread's last completed command, kept for its next one: a rip sends thousands of reads,
// and a fresh event and buffer for each cost more than the copy of the audio.
thread_local std::unique_ptr<PendingCommand> tSpareCommand;

std::unique_ptr<PendingCommand> prepare(const DeviceAddress& address, const CommandBlock& command) {
    auto pending = tSpareCommand ? std::move(tSpareCommand) : std::make_unique<PendingCommand>();
    pending->request = ScsiRequest{};
    pending->signalDue = false;
    pending->data.assign(command.buffer ? command.buffer : nullptr,
                         command.buffer ? command.buffer + command.length : nullptr);
    ScsiRequest& r = pending->request;
    r.header.command = kRequestExecute;
    r.header.adapter = address.adapter;
    r.header.flags = command.flags;
    r.target = address.target;
    r.lun = address.lun;
    r.bufferLength = uint32_t(pending->data.size());
    r.buffer = pending->data.empty() ? nullptr : pending->data.data();
    r.senseLength = kSenseLength;
    r.cdbLength = command.cdbLength;
    r.completionEvent = pending->event.descriptor();
    std::copy(command.cdb.begin(), command.cdb.begin() + command.cdbLength, r.cdb);
    return pending;
}

}  // namespace

CommandBlock::CommandBlock(const mmc::Cdb& block, uint8_t flags, uint8_t* buffer, uint32_t length)
    : cdb(block.bytes),
      cdbLength(std::min<uint8_t>(block.length, uint8_t(block.bytes.size()))),
      flags(flags),
      buffer(buffer),
      length(buffer ? length : 0) {}

CommandBlock::CommandBlock(std::initializer_list<uint8_t> bytes, uint8_t flags, uint8_t* buffer,
                           uint32_t length)
    : cdbLength(uint8_t(std::min(bytes.size(), cdb.size()))),
      flags(flags),
      buffer(buffer),
      length(buffer ? length : 0) {
    std::copy_n(bytes.begin(), cdbLength, cdb.begin());
}

int executeCommand(const DeviceAddress& address, const CommandBlock& command) {
    // A drive that answers late answers before it takes the next command, so the memory of
    // earlier time-outs is usually free to go by now.
    if (gAbandonedCount > 0) releaseAbandonedCommands();
    auto pending = prepare(address, command);
    ScsiRequest& r = pending->request;
    pending->event.reset();
    if (activeTransport().sendScsiRequest(&r) == kStatusPending) {
        pending->signalDue = (command.flags & kFlagEventNotify) && pending->event.isValid();
        pending->event.wait(cdAccessTimeouts().completion);
    }
    const uint8_t status = statusOf(r);
    if (status == kStatusPending) {
        abandon(std::move(pending));
        recordFailedCommand(kStatusPending, {});
        return kResultFailed;
    }
    if (command.buffer && command.length)
        std::memcpy(command.buffer, pending->data.data(), command.length);
    const int result = status == kStatusDone ? kResultDone : kResultFailed;
    if (result != kResultDone) {
        SenseData sense{};
        std::copy_n(r.sense, sense.size(), sense.begin());
        recordFailedCommand(status, sense);
    }
    if (!completerIsDone(*pending)) {
        abandon(std::move(pending));
    } else if (pending->event.isValid()) {
        tSpareCommand = std::move(pending);
    }
    return result;
}

int executeOnHandle(int handle, const CommandBlock& command) {
    SlotGuard guard(handle);
    if (!guard.ok()) return kResultFailed;
    const DriveSlot& slot = guard.slot();
    return executeCommand({slot.adapter, slot.target, slot.lun}, command);
}

uint8_t sendSynchronousRequest(void* request) {
    const uint8_t status = activeTransport().sendScsiRequest(request);
    return status == kStatusPending ? uint8_t(0) : static_cast<ScsiRequestHeader*>(request)->status;
}

void releaseAbandonedCommands() {
    std::lock_guard lock(gAbandonedMutex);
    std::erase_if(gAbandoned, [](const auto& command) { return completerIsDone(*command); });
    gAbandonedCount = gAbandoned.size();
}

size_t abandonedCommandCount() {
    return gAbandonedCount;
}

}  // namespace lumbra
