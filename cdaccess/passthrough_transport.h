// The pass-through back end: the two ASPI-manager entry points emulated over the operating
// system's SCSI pass-through, one drive per letter C to Z.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cdaccess/device_io.h"
#include "cdaccess/scsi_request.h"
#include "cdaccess/scsi_transport.h"

namespace lumbra {

inline constexpr std::size_t kInquiryCacheLength = 36;

struct SptiDriveRecord {
    uint8_t adapter;
    uint8_t target;
    uint8_t lun;
    uint8_t letterIndex;  // 0 = A
    uint32_t inUse;
    int32_t deviceFd;  // kept open between commands; -1 when none is open
    std::array<uint8_t, kInquiryCacheLength> inquiry;
};
static_assert(sizeof(SptiDriveRecord) == 48);
static_assert(offsetof(SptiDriveRecord, inUse) == 4);
static_assert(offsetof(SptiDriveRecord, deviceFd) == 8);
static_assert(offsetof(SptiDriveRecord, inquiry) == 12);

// A CD drive's node that the probe could not open, and the errno of the last attempt.
struct DeviceOpenFailure {
    std::string path;
    int error = 0;
};

class PassThroughTransport final : public ScsiTransport {
public:
    // A null `io` (no pass-through on this platform) gives a back end that finds no drive.
    explicit PassThroughTransport(std::unique_ptr<DeviceIo> io);
    // Closes every device still open.
    ~PassThroughTransport() override;
    PassThroughTransport(const PassThroughTransport&) = delete;
    PassThroughTransport& operator=(const PassThroughTransport&) = delete;

    // Probes the letters C to Z and returns the number of CD drives found. The kernel's host
    // numbers become adapters 0, 1, ... in their order, a map kept for the life of the back end.
    // Runs once: every later call returns 0 and changes nothing.
    int initialise();
    // True when initialise() found at least one drive.
    bool isActive() const;
    int adapterCount() const;
    // The drives whose nodes initialise() found but could not open.
    std::vector<DeviceOpenFailure> openFailures() const;
    // The record in use (letters C to Z) at this address, or nullptr.
    const SptiDriveRecord* findRecord(uint8_t adapter, uint8_t target, uint8_t lun) const;
    // The whole table, A to Z, for inspection; unguarded, so not while commands run elsewhere.
    std::span<const SptiDriveRecord, kLetterCount> records() const;
    // Opens the drive's device now unless it is open already; no drive there: nothing happens.
    void ensureDeviceOpen(uint8_t adapter, uint8_t target, uint8_t lun);
    // Shutdown: closes every open device and clears the table (the back end stays initialised
    // and is no longer active).
    void closeAllDevices();

    // 0xE800 when there is no adapter, else the adapter count with kStatusDone in the second byte.
    uint32_t queryAdapterCount() override;
    // Completes every request before it returns (never kStatusPending); null request: kStatusError.
    uint8_t sendScsiRequest(void* request) override;

private:
    uint8_t answerAdapterInquiry(AdapterInquiryRequest& request) const;
    uint8_t answerDeviceType(DeviceTypeRequest& request) const;
    uint8_t execute(ScsiRequest& request, bool mayRetry);
    PassThroughResult sendToDevice(const ScsiRequest& request, int fd, uint32_t limit);
    PassThroughResult sendInPieces(const ScsiRequest& request, int fd, uint32_t limit);
    void reprobe(int letterIndex, bool closeDevice);

    void clearTable();
    // Fills the record but its adapter, and returns the drive's host number; nothing when the
    // drive could not be opened (`openError` then holds errno) or did not answer.
    std::optional<uint8_t> probe(int letterIndex, SptiDriveRecord& record,
                                 int* openError = nullptr);
    int openDevice(int letterIndex, int* error = nullptr);
    void openIfClosed(SptiDriveRecord& record);
    SptiDriveRecord* findRecordLocked(uint8_t adapter, uint8_t target, uint8_t lun);
    const SptiDriveRecord* findRecordLocked(uint8_t adapter, uint8_t target, uint8_t lun) const;

    std::unique_ptr<DeviceIo> io_;
    // Guards the table, not the commands: each drive is driven by one caller at a time (the
    // slot layer refuses a second handle), but any caller may look up any record.
    mutable std::mutex mutex_;
    uint8_t adapterCount_ = 0;
    std::array<SptiDriveRecord, kLetterCount> records_{};
    std::array<uint32_t, kLetterCount> transferLimits_{};  // 0: unknown
    std::map<uint8_t, uint8_t> adapterOfHost_;
    std::vector<DeviceOpenFailure> openFailures_;
    bool initialised_ = false;
    bool active_ = false;
};

}  // namespace lumbra
