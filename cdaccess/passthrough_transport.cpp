#include "cdaccess/passthrough_transport.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>
#include <utility>

#include "cdaccess/mmc_commands.h"

namespace lumbra {
namespace {

// Some USB bridges fail an INQUIRY that asks for anything but the 36 standard bytes, all we keep.
constexpr uint8_t kProbeInquiryLength = kInquiryCacheLength;
constexpr unsigned kProbeTimeoutSeconds = 2;
// A time-out makes the kernel reset the port, after which the drive may be gone: what can take
// long (spin-up, retries on a scratched disc, the tray) gets a minute, the rest the kernel's own
// 30 seconds for CD commands, and the commands a drive answers from its memory a few seconds.
constexpr unsigned kShortTimeoutSeconds = 5;
constexpr unsigned kDefaultTimeoutSeconds = 30;
constexpr unsigned kLongTimeoutSeconds = 60;

constexpr uint8_t kScsiStatusGood = 0x00;
constexpr uint8_t kScsiStatusCheckCondition = 0x02;
constexpr uint8_t kSenseKeyRecoveredError = 0x01;
constexpr uint8_t kSenseKeyUnitAttention = 0x06;
constexpr uint8_t kAscMediumMayHaveChanged = 0x28;
// ASPI's host status for a transfer that moved less (or more) than it should have.
constexpr uint8_t kAdapterStatusDataUnderrun = 0x12;

constexpr uint8_t kOwnScsiId = 7;
constexpr char kManagerId[] = "LUMBRA v0.000001";
constexpr char kAdapterId[] = "SCSI Adapter    ";
constexpr std::size_t kAdapterDigitIndex = 13;
constexpr uint8_t kMaxTargets = 8;
constexpr uint32_t kMaxTransferLength = 0x10000;
static_assert(sizeof(kManagerId) - 1 == sizeof(AdapterInquiryRequest::managerId));
static_assert(sizeof(kAdapterId) - 1 == sizeof(AdapterInquiryRequest::adapterId));

struct SenseSummary {
    uint8_t key = 0;
    uint8_t asc = 0;
};

// Drives answer in fixed or descriptor format; both carry key and ASC, in different places.
SenseSummary summarise(const PassThroughResult& result) {
    const auto& s = result.sense;
    const uint8_t responseCode = s[0] & 0x7F;
    const bool descriptor = responseCode == 0x72 || responseCode == 0x73;
    if (descriptor && result.senseLength >= 3) return {uint8_t(s[1] & 0x0F), s[2]};
    if (!descriptor && result.senseLength >= 13) return {uint8_t(s[2] & 0x0F), s[12]};
    return {};
}

bool isAudioRead(uint8_t opcode) {
    return audioReadFields(opcode).countWidth != 0;
}

bool checkConditionWithKey(const PassThroughResult& result, uint8_t key) {
    return result.systemError == 0 && result.scsiStatus == kScsiStatusCheckCondition &&
           summarise(result).key == key;
}

// A recovered error delivered everything, as the kernel counts it too. An audio read must have
// brought every byte: a drive that claims success for less would leave a hole in the track.
bool succeeded(const PassThroughResult& result, bool needsEveryByte) {
    const bool deviceGood = result.scsiStatus == kScsiStatusGood ||
                            checkConditionWithKey(result, kSenseKeyRecoveredError);
    return result.systemError == 0 && result.adapterStatus == 0 && deviceGood &&
           (!needsEveryByte || result.residual == 0);
}

enum class Recovery { None, Retry, Reopen, Forget };

// Linux reports a changed medium only through the drive's own UNIT ATTENTION (ASC 0x28); errno
// values such as EIO or ENOMEDIUM say nothing about a change, and a retry would only repeat them.
// Any other UNIT ATTENTION (a reset, a mode change by someone else) is reported once and then
// gone, so the command is simply sent again. ENODEV and ENXIO leave the descriptor ours but its
// device gone (a replugged drive), so it is closed before the letter is probed again; after EBADF
// the number may already name another file, so it is only forgotten.
Recovery recoveryFor(const PassThroughResult& result) {
    if (checkConditionWithKey(result, kSenseKeyUnitAttention)) {
        return summarise(result).asc == kAscMediumMayHaveChanged ? Recovery::Reopen
                                                                 : Recovery::Retry;
    }
    switch (result.systemError) {
        case ENODEV:
        case ENXIO:
            return Recovery::Reopen;
        case EBADF:
            return Recovery::Forget;
        default:
            return Recovery::None;
    }
}

// A device that answered keeps its status and sense, as an ASPI manager reports them.
void reportFailure(ScsiRequest& request, const PassThroughResult& result) {
    const bool deviceAnswered = result.systemError == 0;
    const bool shortTransfer = deviceAnswered && result.adapterStatus == 0 && result.residual > 0 &&
                               result.scsiStatus == kScsiStatusGood;
    request.adapterStatus = shortTransfer ? kAdapterStatusDataUnderrun : result.adapterStatus;
    request.targetStatus = deviceAnswered ? result.scsiStatus : kStatusError;
    std::memset(request.sense, 0, sizeof(request.sense));
    if (!deviceAnswered) return;
    const std::size_t length = std::min({std::size_t{request.senseLength}, sizeof(request.sense),
                                         std::size_t{result.senseLength}, result.sense.size()});
    std::copy_n(result.sense.begin(), length, request.sense);
}

// Without a direction flag the command decides, as an ASPI manager does: the drive set-up and
// restore pages go out with MODE SELECT, anything else with a buffer comes in.
TransferDirection directionOf(const ScsiRequest& request) {
    const uint8_t flags = request.header.flags;
    if (request.bufferLength == 0) return TransferDirection::None;
    if (flags & kFlagDataIn) return TransferDirection::In;
    if (flags & kFlagDataOut) return TransferDirection::Out;
    const uint8_t opcode = request.cdb[0];
    return opcode == kOpModeSelect6 || opcode == kOpModeSelect10 ? TransferDirection::Out
                                                                 : TransferDirection::In;
}

unsigned timeoutFor(uint8_t opcode) {
    if (isAudioRead(opcode)) return kLongTimeoutSeconds;
    switch (opcode) {
        case kOpModeSelect6:
        case kOpModeSelect10:
        case kOpStartStopUnit:
            return kLongTimeoutSeconds;
        case kOpInquiry:
        case kOpTestUnitReady:
            return kShortTimeoutSeconds;
        default:
            return kDefaultTimeoutSeconds;
    }
}

bool isWellFormed(const ScsiRequest& request) {
    const bool cdbFits = request.cdbLength > 0 && request.cdbLength <= sizeof(request.cdb);
    return cdbFits && (request.buffer != nullptr || request.bufferLength == 0);
}

uint8_t finish(ScsiRequestHeader& header, uint8_t status) {
    header.status = status;
    return status;
}

// Keeps a device opened for one probe, and closes it on every way out.
class ProbeDevice {
public:
    ProbeDevice(DeviceIo& io, int fd) : io_(io), fd_(fd) {}
    ProbeDevice(const ProbeDevice&) = delete;
    ProbeDevice& operator=(const ProbeDevice&) = delete;
    ~ProbeDevice() {
        if (fd_ >= 0) io_.close(fd_);
    }
    int fd() const { return fd_; }

private:
    DeviceIo& io_;
    int fd_;
};

}  // namespace

PassThroughTransport::PassThroughTransport(std::unique_ptr<DeviceIo> io) : io_(std::move(io)) {
    clearTable();
}

PassThroughTransport::~PassThroughTransport() {
    closeAllDevices();
}

int PassThroughTransport::initialise() {
    std::lock_guard lock(mutex_);
    if (initialised_) return 0;
    initialised_ = true;
    clearTable();
    if (!io_) return 0;

    std::array<std::optional<uint8_t>, kLetterCount> hosts;
    std::set<uint8_t> distinctHosts;
    for (int letter = kFirstProbedLetter; letter < kLetterCount; ++letter) {
        const std::string path = io_->devicePath(letter);
        if (path.empty() || !io_->isCdRom(path)) continue;
        int openError = 0;
        hosts[letter] = probe(letter, records_[letter], &openError);
        if (openError != 0) openFailures_.push_back({path, openError});
        if (hosts[letter]) distinctHosts.insert(*hosts[letter]);
    }
    // libata gives every port a host and USB drives get the numbers after them, so host numbers
    // of 6 and more are common; a scan walks adapters from 0 up to the count, so they are dense.
    for (uint8_t host : distinctHosts) {
        adapterOfHost_.emplace(host, uint8_t(adapterOfHost_.size()));
    }
    for (int letter = kFirstProbedLetter; letter < kLetterCount; ++letter) {
        if (hosts[letter]) records_[letter].adapter = adapterOfHost_.at(*hosts[letter]);
    }
    // Adapter 0 counts even without a drive, so that a scan asks at least one adapter.
    adapterCount_ = uint8_t(std::max<std::size_t>(1, distinctHosts.size()));
    active_ = !distinctHosts.empty();
    return int(std::count_if(hosts.begin(), hosts.end(), [](const auto& h) { return h; }));
}

bool PassThroughTransport::isActive() const {
    std::lock_guard lock(mutex_);
    return active_;
}

int PassThroughTransport::adapterCount() const {
    std::lock_guard lock(mutex_);
    return adapterCount_;
}

std::vector<DeviceOpenFailure> PassThroughTransport::openFailures() const {
    std::lock_guard lock(mutex_);
    return openFailures_;
}

const SptiDriveRecord* PassThroughTransport::findRecord(uint8_t adapter, uint8_t target,
                                                        uint8_t lun) const {
    std::lock_guard lock(mutex_);
    return findRecordLocked(adapter, target, lun);
}

std::span<const SptiDriveRecord, kLetterCount> PassThroughTransport::records() const {
    return records_;
}

void PassThroughTransport::ensureDeviceOpen(uint8_t adapter, uint8_t target, uint8_t lun) {
    std::lock_guard lock(mutex_);
    if (SptiDriveRecord* record = findRecordLocked(adapter, target, lun)) openIfClosed(*record);
}

void PassThroughTransport::closeAllDevices() {
    std::lock_guard lock(mutex_);
    for (SptiDriveRecord& record : records_) {
        if (record.deviceFd >= 0) io_->close(record.deviceFd);
    }
    clearTable();
    active_ = false;
}

uint32_t PassThroughTransport::queryAdapterCount() {
    std::lock_guard lock(mutex_);
    if (adapterCount_ == 0) return uint32_t{kStatusNoAdapters} << 8;
    return uint32_t{kStatusDone} << 8 | adapterCount_;
}

uint8_t PassThroughTransport::sendScsiRequest(void* request) {
    if (request == nullptr) return kStatusError;
    auto& header = *static_cast<ScsiRequestHeader*>(request);
    switch (header.command) {
        case kRequestAdapterInquiry:
            return answerAdapterInquiry(*static_cast<AdapterInquiryRequest*>(request));
        case kRequestDeviceType:
            return answerDeviceType(*static_cast<DeviceTypeRequest*>(request));
        case kRequestExecute:
            return execute(*static_cast<ScsiRequest*>(request), true);
        default:
            return finish(header, kStatusError);
    }
}

uint8_t PassThroughTransport::answerAdapterInquiry(AdapterInquiryRequest& request) const {
    std::lock_guard lock(mutex_);
    request.adapterCount = adapterCount_;
    if (request.header.adapter >= adapterCount_) {
        return finish(request.header, kStatusInvalidAdapter);
    }
    request.scsiId = kOwnScsiId;
    std::memcpy(request.managerId, kManagerId, sizeof(request.managerId));
    std::memcpy(request.adapterId, kAdapterId, sizeof(request.adapterId));
    // Adapter numbers above 9 give the characters after '9', as the identity has one digit.
    request.adapterId[kAdapterDigitIndex] = static_cast<char>('0' + request.header.adapter);
    std::memset(request.adapterSpecific, 0, sizeof(request.adapterSpecific));
    request.adapterSpecific[3] = kMaxTargets;
    for (int i = 0; i < 4; ++i) {
        request.adapterSpecific[4 + i] = static_cast<uint8_t>(kMaxTransferLength >> (8 * i));
    }
    return finish(request.header, kStatusDone);
}

uint8_t PassThroughTransport::answerDeviceType(DeviceTypeRequest& request) const {
    std::lock_guard lock(mutex_);
    const bool found = findRecordLocked(request.header.adapter, request.target, request.lun);
    request.deviceType = found ? kDeviceTypeCdRom : kDeviceTypeUnknown;
    return finish(request.header, found ? kStatusDone : kStatusNoDevice);
}

uint8_t PassThroughTransport::execute(ScsiRequest& request, bool mayRetry) {
    if (!isWellFormed(request)) return finish(request.header, kStatusError);
    int letterIndex = 0;
    int fd = -1;
    uint32_t limit = 0;
    {
        std::lock_guard lock(mutex_);
        SptiDriveRecord* record =
            findRecordLocked(request.header.adapter, request.target, request.lun);
        if (record == nullptr) return finish(request.header, kStatusError);
        if (request.cdb[0] == kOpInquiry) {
            const std::size_t length =
                std::min<std::size_t>(kInquiryCacheLength, request.bufferLength);
            std::copy_n(record->inquiry.begin(), length, request.buffer);
            return finish(request.header, kStatusDone);
        }
        openIfClosed(*record);
        letterIndex = record->letterIndex;
        fd = record->deviceFd;
        limit = transferLimits_[letterIndex];
    }

    const PassThroughResult result = sendToDevice(request, fd, limit);
    if (succeeded(result, isAudioRead(request.cdb[0]))) return finish(request.header, kStatusDone);
    const Recovery recovery = recoveryFor(result);
    if (mayRetry && recovery != Recovery::None) {
        if (recovery != Recovery::Retry) reprobe(letterIndex, recovery == Recovery::Reopen);
        return execute(request, false);
    }
    reportFailure(request, result);
    return finish(request.header, kStatusError);
}

PassThroughResult PassThroughTransport::sendToDevice(const ScsiRequest& request, int fd,
                                                     uint32_t limit) {
    if (fd < 0) return PassThroughResult{.systemError = EBADF};
    if (isAudioRead(request.cdb[0]) && limit > 0 && request.bufferLength > limit) {
        return sendInPieces(request, fd, limit);
    }
    return io_->execute(fd, request.cdb, request.cdbLength, directionOf(request), request.buffer,
                        request.bufferLength, timeoutFor(request.cdb[0]));
}

// The kernel refuses a command larger than the device's largest transfer, and some USB bridges
// and ATAPI drives take only 32 or 64 KiB: a larger read goes out as reads of whole frames that
// fit, into consecutive parts of the buffer.
PassThroughResult PassThroughTransport::sendInPieces(const ScsiRequest& request, int fd,
                                                     uint32_t limit) {
    const AudioReadFields fields = audioReadFields(request.cdb[0]);
    const std::span<const uint8_t> cdb(request.cdb, request.cdbLength);
    const uint32_t frames = mmc::readBigEndian(cdb.subspan(fields.countOffset, fields.countWidth));
    const uint32_t first = mmc::readBigEndian(cdb.subspan(kReadAddressOffset, kReadAddressWidth));
    if (frames == 0 || request.bufferLength % frames != 0) {
        return io_->execute(fd, request.cdb, request.cdbLength, TransferDirection::In,
                            request.buffer, request.bufferLength, kLongTimeoutSeconds);
    }
    const uint32_t frameBytes = request.bufferLength / frames;
    const uint32_t framesPerPiece = std::max<uint32_t>(1, limit / frameBytes);
    PassThroughResult result;
    for (uint32_t done = 0; done < frames; done += framesPerPiece) {
        const uint32_t count = std::min(framesPerPiece, frames - done);
        uint8_t piece[sizeof(request.cdb)];
        std::copy_n(request.cdb, sizeof(piece), piece);
        mmc::putBigEndian({piece + kReadAddressOffset, kReadAddressWidth}, first + done);
        mmc::putBigEndian({piece + fields.countOffset, fields.countWidth}, count);
        result = io_->execute(fd, piece, request.cdbLength, TransferDirection::In,
                              request.buffer + std::size_t(done) * frameBytes, count * frameBytes,
                              kLongTimeoutSeconds);
        if (!succeeded(result, true)) return result;
    }
    return result;
}

void PassThroughTransport::reprobe(int letterIndex, bool closeDevice) {
    std::lock_guard lock(mutex_);
    SptiDriveRecord& record = records_[letterIndex];
    if (closeDevice && record.deviceFd >= 0) io_->close(record.deviceFd);
    record.deviceFd = -1;
    const uint8_t adapter = record.adapter;
    // A replugged drive may come back on a new host; it keeps the adapter its handles name.
    if (const auto host = probe(letterIndex, record)) {
        record.adapter = adapterOfHost_.try_emplace(*host, adapter).first->second;
    }
}

void PassThroughTransport::clearTable() {
    adapterCount_ = 0;
    adapterOfHost_.clear();
    openFailures_.clear();
    transferLimits_.fill(0);
    for (SptiDriveRecord& record : records_) {
        record = SptiDriveRecord{};
        record.deviceFd = -1;
    }
}

std::optional<uint8_t> PassThroughTransport::probe(int letterIndex, SptiDriveRecord& record,
                                                   int* openError) {
    const ProbeDevice device(*io_, openDevice(letterIndex, openError));
    if (device.fd() < 0) return std::nullopt;

    std::array<uint8_t, kProbeInquiryLength> reply{};
    const mmc::Cdb inquiry = mmc::inquiry(kProbeInquiryLength);
    const PassThroughResult result =
        io_->execute(device.fd(), inquiry.bytes.data(), inquiry.length, TransferDirection::In,
                     reply.data(), reply.size(), kProbeTimeoutSeconds);
    if (!succeeded(result, false)) return std::nullopt;
    std::copy_n(reply.begin(), kInquiryCacheLength, record.inquiry.begin());

    ScsiAddress address;
    if (!io_->address(device.fd(), address)) {
        record.inUse = 0;
        return std::nullopt;
    }
    record.target = address.target;
    record.lun = address.lun;
    record.letterIndex = static_cast<uint8_t>(letterIndex);
    record.inUse = 1;
    record.deviceFd = -1;
    transferLimits_[letterIndex] = io_->maxTransferLength(device.fd());
    return address.port;
}

// Read-only access is the fallback for users allowed to read the drive but not to write it;
// MMC commands that change the drive's state may then be refused by the system.
int PassThroughTransport::openDevice(int letterIndex, int* error) {
    const std::string path = io_->devicePath(letterIndex);
    if (path.empty()) return -1;
    int fd = io_->open(path, true);
    if (fd < 0) fd = io_->open(path, false);
    if (fd < 0 && error) *error = errno;
    return fd;
}

void PassThroughTransport::openIfClosed(SptiDriveRecord& record) {
    if (record.deviceFd < 0) record.deviceFd = openDevice(record.letterIndex);
}

SptiDriveRecord* PassThroughTransport::findRecordLocked(uint8_t adapter, uint8_t target,
                                                        uint8_t lun) {
    const auto& self = *this;
    return const_cast<SptiDriveRecord*>(self.findRecordLocked(adapter, target, lun));
}

const SptiDriveRecord* PassThroughTransport::findRecordLocked(uint8_t adapter, uint8_t target,
                                                              uint8_t lun) const {
    for (int letter = kFirstProbedLetter; letter < kLetterCount; ++letter) {
        const SptiDriveRecord& record = records_[letter];
        if (record.inUse && record.adapter == adapter && record.target == target &&
            record.lun == lun) {
            return &record;
        }
    }
    return nullptr;
}

}  // namespace lumbra
