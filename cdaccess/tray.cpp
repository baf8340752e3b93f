#include "cdaccess/tray.h"

#include <cstdio>
#include <mutex>

#include "cdaccess/cd_access_errors.h"
#include "cdaccess/cd_handle.h"
#include "cdaccess/last_error.h"
#include "cdaccess/mmc_commands.h"
#include "cdaccess/scsi_command.h"
#include "cdaccess/scsi_request.h"
#include "cdaccess/slot_access.h"

namespace lumbra {
namespace {

constexpr uint8_t kSenseKeyIllegalRequest = 0x05;
constexpr uint8_t kSenseKeyNotReady = 0x02;
constexpr uint8_t kAscMediumRemovalPrevented = 0x53;
constexpr uint8_t kAscqRemovalPrevented = 0x02;

std::mutex gRefusalMutex;
std::string gRefusal;

void keepRefusal(std::string text) {
    std::lock_guard lock(gRefusalMutex);
    gRefusal = std::move(text);
}

// Sense in fixed format, as the transports hand it on: key in byte 2, ASC and ASCQ in 12 and 13.
std::string refusalText(bool open, uint8_t status, const SenseData& sense) {
    const uint8_t key = sense[2] & 0x0F;
    const char* move = open ? "弹出" : "关闭";
    char text[160];
    if (key == kSenseKeyIllegalRequest && sense[12] == kAscMediumRemovalPrevented &&
        sense[13] == kAscqRemovalPrevented) {
        std::snprintf(text, sizeof text, "光驱拒绝%s：光盘被锁定，可能有程序正在使用它", move);
    } else if (key == kSenseKeyNotReady) {
        std::snprintf(text, sizeof text, "光驱拒绝%s：驱动器未就绪", move);
    } else {
        std::snprintf(text, sizeof text, "光驱拒绝%s (状态 %d，检测码 %X/%02X/%02X)", move, status,
                      key, sense[12], sense[13]);
    }
    return text;
}

}  // namespace

int moveTray(int handle, bool open) {
    SlotGuard guard(handle);
    if (!guard.ok()) return kResultFailed;
    // udev locks the tray of optical drives; a drive that knows no lock refuses the allow, which
    // changes nothing for the eject that follows.
    if (open)
        executeOnHandle(handle,
                        CommandBlock(mmc::preventAllowMediumRemoval(false), kFlagEventNotify));
    const CommandBlock move(mmc::startStopUnit(true, !open), kFlagEventNotify);
    if (executeOnHandle(handle, move) == kResultDone) {
        keepRefusal({});
        return kResultDone;
    }
    const uint8_t status = takeLastStatus();
    keepRefusal(refusalText(open, status, lastSense()));
    recordFailedCommand(status, lastSense());
    return kResultFailed;
}

std::string trayRefusalText() {
    std::lock_guard lock(gRefusalMutex);
    return gRefusal;
}

bool moveTrayOf(const OpenDriveRequest& drive, bool open) {
    const CdHandle handle(drive);
    return handle && moveTray(handle.get(), open) == kResultDone;
}

}  // namespace lumbra
