#include "cdaccess/drive_discovery.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "cdaccess/aspi_manager_transport.h"
#include "cdaccess/cd_access.h"
#include "cdaccess/cd_access_errors.h"
#include "cdaccess/device_io.h"
#include "cdaccess/last_error.h"
#include "cdaccess/mmc_commands.h"
#include "cdaccess/passthrough_transport.h"
#include "cdaccess/scsi_command.h"
#include "cdaccess/scsi_request.h"

namespace lumbra {
namespace {

constexpr uint8_t kInquiryLength = 100;
constexpr int kDefaultTargets = 8;
constexpr int kLunsPerTarget = 8;

// Optional exports of a virtual drive library that name its drives.
using DriveCountFunction = int (*)();
using DriveNameFunction = const char* (*)(int);

void copyField(char* out, size_t outSize, const uint8_t* reply, size_t from, size_t to) {
    const size_t length = std::min(to - from, outSize - 1);
    std::memcpy(out, reply + from, length);
    out[length] = '\0';
}

int targetsOf(uint8_t adapter) {
    AdapterInquiryRequest inquiry{};
    inquiry.header.command = kRequestAdapterInquiry;
    inquiry.header.adapter = adapter;
    if (sendSynchronousRequest(&inquiry) != kStatusDone) return 0;
    return inquiry.adapterSpecific[3] ? inquiry.adapterSpecific[3] : kDefaultTargets;
}

void addDrive(DriveScanList& list, uint8_t adapter, uint8_t target, uint8_t lun) {
    DriveInfo& info = list.drives[list.count++];
    info.adapter = adapter;
    info.target = target;
    info.lun = lun;
    inquireDrive(adapter, target, lun, info);
}

void scanAdapter(DriveScanList& list, uint8_t adapter) {
    const int targets = targetsOf(adapter);
    for (int target = 0; target < targets; ++target) {
        for (int lun = 0; lun < kLunsPerTarget; ++lun) {
            if (list.count >= kMaxScannedDrives) return;
            int type = 0;
            if (queryDeviceType(adapter, uint8_t(target), uint8_t(lun), &type, nullptr, 0) &&
                type == kDeviceTypeCdRom) {
                addDrive(list, adapter, uint8_t(target), uint8_t(lun));
            }
        }
    }
}

std::vector<std::string> virtualDriveNames() {
    const auto count =
        reinterpret_cast<DriveCountFunction>(transportExtension("LumbraVirtualDriveCount"));
    const auto name =
        reinterpret_cast<DriveNameFunction>(transportExtension("LumbraVirtualDriveName"));
    std::vector<std::string> names;
    for (int i = 0; count && name && i < count(); ++i) {
        const char* text = name(i);
        names.emplace_back(text ? text : "");
    }
    return names;
}

std::string letterOf(const DriveInfo& drive, size_t index,
                     const std::vector<std::string>& letters) {
    PassThroughTransport* passThrough = passThroughBackEnd();
    const bool built = initialisePassThroughBackEnd() > 0;
    if (passThrough == nullptr) passThrough = passThroughBackEnd();
    if (passThrough && (built || passThrough->adapterCount() > 1)) {
        if (const SptiDriveRecord* record =
                passThrough->findRecord(drive.adapter, drive.target, drive.lun)) {
            auto io = makeSystemDeviceIo();
            return io ? io->devicePath(record->letterIndex) : std::string();
        }
    }
    return index < letters.size() ? letters[index] : std::string();
}

OpenDriveRequest openRequestFor(const DriveInfo& drive) {
    OpenDriveRequest request{};
    request.size = kOpenDriveRequestSize;
    request.version = kOpenDriveRequestVersion;
    request.adapter = drive.adapter;
    request.target = drive.target;
    request.lun = drive.lun;
    return request;
}

}  // namespace

const std::array<const char*, 12> kDeviceTypeNames = {
    "Direct-access device", "Sequential-access device", "Printer device",
    "Processor device",     "Write-once device",        "CD-ROM device",
    "Scanner device",       "Optical memory device",    "Medium changer device",
    "Communication device", "ASC IT8 device",           "ASC IT8 device"};

std::string deviceTypeName(int type) {
    if (type >= 0 && size_t(type) < kDeviceTypeNames.size()) return kDeviceTypeNames[size_t(type)];
    return type == kDeviceTypeUnknown ? "未知或无设备" : "";
}

int scanCdDrives(DriveScanList& list) {
    const uint8_t capacity = list.capacity;
    std::memset(&list, 0, sizeof list);
    list.capacity = capacity;
    const uint32_t support = activeTransport().queryAdapterCount();
    const uint8_t status = uint8_t(support >> 8);
    int adapters = support & 0xFF;
    if (status != kStatusDone && status != kStatusNoAdapters) {
        recordFailedCommand(status, {});
        adapters = -1;
    }
    if (adapters == 0 || status == kStatusNoAdapters) {
        setLastError(kErrorNoAdapter);
        return 1;
    }
    for (int adapter = 0; adapter < adapters; ++adapter) scanAdapter(list, uint8_t(adapter));
    if (list.count == 0) setLastError(kErrorNoCdDrive);
    return 1;
}

int queryDeviceType(uint8_t adapter, uint8_t target, uint8_t lun, int* type, char* name,
                    size_t nameLength) {
    DeviceTypeRequest request{};
    request.header.command = kRequestDeviceType;
    request.header.adapter = adapter;
    request.target = target;
    request.lun = lun;
    const uint8_t status = sendSynchronousRequest(&request);
    const int answered = status == kStatusDone ? request.deviceType : kDeviceTypeUnknown;
    if (type) *type = answered;
    std::string text = status == kStatusDone       ? deviceTypeName(answered)
                       : status == kStatusNoDevice ? "SS_NO_DEVICE"
                                                   : "Unknown return";
    if (name && nameLength > 0) {
        const size_t length = std::min(text.size(), nameLength - 1);
        std::memcpy(name, text.data(), length);
        name[length] = '\0';
    }
    return status == kStatusDone ? 1 : 0;
}

int inquireDrive(uint8_t adapter, uint8_t target, uint8_t lun, DriveInfo& info) {
    uint8_t reply[kInquiryLength] = {};
    const int result = executeCommand(
        {adapter, target, lun}, CommandBlock(mmc::inquiry(kInquiryLength),
                                             kFlagDataIn | kFlagEventNotify, reply, sizeof reply));
    if (result != kResultDone) return kResultFailed;
    copyField(info.vendor, sizeof info.vendor, reply, 8, 16);
    copyField(info.product, sizeof info.product, reply, 16, 32);
    copyField(info.revision, sizeof info.revision, reply, 32, 36);
    copyField(info.vendorSpecific, sizeof info.vendorSpecific, reply, 36, 56);
    std::snprintf(info.description, sizeof info.description, "%s, %s v%s (%d:%d:%d)", info.vendor,
                  info.product, info.revision, adapter, target, lun);
    return kResultDone;
}

std::string driveModel(const DriveInfo& info) {
    std::string model;
    for (const char* field : {info.vendor, info.product, info.revision}) {
        std::string_view text(field);
        while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
        while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
        if (text.empty()) continue;
        if (!model.empty()) model += ' ';
        model += text;
    }
    for (char& c : model) {
        const bool printable = c >= 0x20 && c < 0x7F;
        if (!printable || c == '=' || c == ';' || c == '[' || c == ']') c = '_';
    }
    return model;
}

std::vector<std::string> listCdDriveLetters() {
    if (auto names = virtualDriveNames(); !names.empty()) return names;
    std::vector<std::string> letters;
    auto io = makeSystemDeviceIo();
    for (int i = kFirstProbedLetter; io && i < kLetterCount; ++i) {
        const std::string path = io->devicePath(i);
        if (io->isCdRom(path)) letters.push_back(path);
    }
    return letters;
}

std::vector<std::string> driveOpenProblems() {
    // Drives of a library stand in for the system's; the system's are then none of our business.
    if (dynamic_cast<AspiManagerTransport*>(&activeTransport())) return {};
    PassThroughTransport* passThrough = passThroughBackEnd();
    std::vector<std::string> messages;
    for (const DeviceOpenFailure& failure :
         passThrough ? passThrough->openFailures() : std::vector<DeviceOpenFailure>{}) {
        std::string text = "无法打开光驱设备 " + failure.path + "：" +
                           std::system_category().message(failure.error);
        if (failure.error == EACCES || failure.error == EPERM) {
            text += "。通常把用户加入 cdrom 组（然后重新登录）即可使用光驱";
        }
        messages.push_back(std::move(text));
    }
    return messages;
}

int buildDriveList(std::vector<DriveEntry>& drives) {
    initCdAccess();
    drives.clear();
    DriveScanList list{};
    scanCdDrives(list);
    const auto letters = listCdDriveLetters();
    for (size_t i = 0; i < list.count; ++i) {
        DriveEntry entry;
        entry.description = list.drives[i].description;
        entry.model = driveModel(list.drives[i]);
        entry.openRequest = openRequestFor(list.drives[i]);
        entry.listIndex = int(i);
        entry.letter = letterOf(list.drives[i], i, letters);
        drives.push_back(std::move(entry));
    }
    return int(drives.size());
}

}  // namespace lumbra
