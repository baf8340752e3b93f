// The request blocks of the ASPI-style transport: one common header and three request kinds.
// The virtual drive library and the pass-through emulation read and write these same bytes, so
// every layout is pinned. The execute request holds a pointer, so on 64-bit systems its layout
// keeps the field order with a pointer-sized buffer field.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumbra {

// Request kinds (`command`).
inline constexpr uint8_t kRequestAdapterInquiry = 0;
inline constexpr uint8_t kRequestDeviceType = 1;
inline constexpr uint8_t kRequestExecute = 2;

// Request status values written by the transport.
inline constexpr uint8_t kStatusPending = 0x00;
inline constexpr uint8_t kStatusDone = 0x01;
inline constexpr uint8_t kStatusError = 0x04;
inline constexpr uint8_t kStatusInvalidAdapter = 0x81;
inline constexpr uint8_t kStatusNoDevice = 0x82;
inline constexpr uint8_t kStatusNotInitialised = 0xE3;
// Status byte of queryAdapterCount when there are no adapters.
inline constexpr uint8_t kStatusNoAdapters = 0xE8;

// Request flags.
inline constexpr uint8_t kFlagResidual = 0x04;
inline constexpr uint8_t kFlagDataIn = 0x08;
inline constexpr uint8_t kFlagDataOut = 0x10;
inline constexpr uint8_t kFlagEventNotify = 0x40;

inline constexpr uint8_t kSenseLength = 14;
inline constexpr uint8_t kDeviceTypeCdRom = 5;
inline constexpr uint8_t kDeviceTypeUnknown = 0x1F;

struct ScsiRequestHeader {
    uint8_t command;
    uint8_t status;
    uint8_t adapter;
    uint8_t flags;
    uint32_t reserved;
};
static_assert(sizeof(ScsiRequestHeader) == 8);

struct AdapterInquiryRequest {
    ScsiRequestHeader header;
    uint8_t adapterCount;
    uint8_t scsiId;
    char managerId[16];
    char adapterId[16];
    uint8_t adapterSpecific[16];  // [3]: maximum targets (0 means 8); [4..7]: maximum transfer
    uint8_t reserved[2];
};
static_assert(sizeof(AdapterInquiryRequest) == 60);
static_assert(offsetof(AdapterInquiryRequest, managerId) == 10);
static_assert(offsetof(AdapterInquiryRequest, adapterSpecific) == 42);

struct DeviceTypeRequest {
    ScsiRequestHeader header;
    uint8_t target;
    uint8_t lun;
    uint8_t deviceType;
    uint8_t reserved;
};
static_assert(sizeof(DeviceTypeRequest) == 12);

struct ScsiRequest {
    ScsiRequestHeader header;
    uint8_t target;
    uint8_t lun;
    uint16_t reserved1;
    uint32_t bufferLength;
    uint8_t* buffer;
    uint8_t senseLength;
    uint8_t cdbLength;
    uint8_t adapterStatus;
    uint8_t targetStatus;
    int32_t completionEvent;  // an eventfd the completer signals
    uint8_t reserved2[20];
    uint8_t cdb[16];
    uint8_t sense[16];
};
static_assert(offsetof(ScsiRequest, target) == 8);
static_assert(offsetof(ScsiRequest, bufferLength) == 12);
static_assert(offsetof(ScsiRequest, buffer) == 16);
static_assert(offsetof(ScsiRequest, senseLength) == 16 + sizeof(void*));
static_assert(offsetof(ScsiRequest, completionEvent) == 20 + sizeof(void*));
static_assert(offsetof(ScsiRequest, cdb) == 44 + sizeof(void*));
static_assert(offsetof(ScsiRequest, sense) == 60 + sizeof(void*));

// Entry points of an ASPI-manager-style library: the first returns the adapter count in its low
// byte and a status in the second byte; the second takes any of the request kinds above and
// returns its status (kStatusPending: it completes later and signals the request's event).
extern "C" {
using GetSupportInfoFunction = uint32_t (*)();
using SendCommandFunction = uint32_t (*)(void* request);
}
inline constexpr const char* kGetSupportInfoName = "GetASPI32SupportInfo";
inline constexpr const char* kSendCommandName = "SendASPI32Command";

}  // namespace lumbra
