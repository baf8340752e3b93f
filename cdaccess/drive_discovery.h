// Finding the CD-ROM drives the transport reaches, naming them and building the drive list.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "cdaccess/disc_extras.h"
#include "cdaccess/disc_toc.h"
#include "cdaccess/shared_cd_state.h"

namespace lumbra {

struct DriveInfo {
    uint8_t adapter;
    uint8_t target;
    uint8_t lun;
    uint8_t reserved;
    char description[65];
    char vendor[9];
    char product[17];
    char revision[5];
    char vendorSpecific[21];
};
static_assert(sizeof(DriveInfo) == 121);

inline constexpr int kMaxScannedDrives = 8;

struct DriveScanList {
    uint8_t capacity;
    uint8_t count;
    DriveInfo drives[kMaxScannedDrives];
};

struct DriveEntry {
    std::string description;
    std::string model;  // driveModel's text: the key of settings kept per drive model
    OpenDriveRequest openRequest{};
    TocBuffer toc{};
    uint32_t discId = 0;
    DiscExtras extras;   // read with the table of contents
    std::string letter;  // the device path, a virtual drive's image name, or empty
    int listIndex = 0;
};

// The drive's vendor, product and revision as one line, blanks trimmed, each joined by a blank;
// characters that an INI key cannot hold become '_'.
std::string driveModel(const DriveInfo& info);

// Names of peripheral device types 0..11; 31 and the rest are named by deviceTypeName.
extern const std::array<const char*, 12> kDeviceTypeNames;
std::string deviceTypeName(int type);

// Fills the list with up to 8 CD-ROM drives; always 1. No adapter: last error -16; no drive: -17.
int scanCdDrives(DriveScanList& list);

// 1 when the transport answered (type and name of the device), else 0 with type 0x1F and the
// name "SS_NO_DEVICE" or "Unknown return". `name` may be null.
int queryDeviceType(uint8_t adapter, uint8_t target, uint8_t lun, int* type, char* name,
                    size_t nameLength);

// INQUIRY into the info's text fields and description: 1, or 4 with the info untouched.
int inquireDrive(uint8_t adapter, uint8_t target, uint8_t lun, DriveInfo& info);

// The names of CD-ROM drives in letter order: device paths of the pass-through, or the image
// names of a virtual drive library.
std::vector<std::string> listCdDriveLetters();

// One message per CD drive whose device exists but could not be opened at start-up: the device,
// the system's reason and, when permission was refused, the usual cure. None while a library's
// drives stand in for the system's. Such a drive is not in
// the drive list, so without this the user would only learn that there is no drive.
std::vector<std::string> driveOpenProblems();

// Initialises CD access and builds the drive list; returns its size.
int buildDriveList(std::vector<DriveEntry>& drives);

}  // namespace lumbra
