// The process-wide state behind the library's entry points: the configured drives, the faults
// they show and the worker that completes their commands. Configuration comes from
// LUMBRA_VIRTUAL_DISCS and LUMBRA_VIRTUAL_FAULTS on first use, or from configure().
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "plugins/virtualdrive/command_scheduler.h"
#include "plugins/virtualdrive/fault_settings.h"
#include "plugins/virtualdrive/virtual_drive.h"

namespace lumbra::virtualdrive {

inline constexpr int kTargetsPerAdapter = 8;
inline constexpr int kMaxDrives = 64;

class VirtualDriveLibrary {
public:
    static VirtualDriveLibrary& instance();

    // Replaces every drive as if the environment held these strings; returns the drive count.
    // Problems (unusable sheets, unknown fault items) go to stderr.
    int configure(std::string_view discs, std::string_view faults);
    int driveCount();
    // The drive's name, valid for the life of the library, or null for a bad index.
    const char* driveName(int index);
    // Swaps the disc of drive `index`; false for a bad index or an unusable sheet (the drive is
    // then empty).
    bool insertDisc(int index, std::string_view entry);

    int adapterCount();
    // The drive at this address (drive i: adapter i / 8, target i % 8, LUN 0), or null.
    std::shared_ptr<VirtualDrive> driveAt(int adapter, int target, int lun);
    // What the drive at this address holds, the same in every process for the same disc, so that
    // programs holding different discs never take each other's drive; 0 for a bad address.
    uint64_t driveIdentity(int adapter, int target, int lun);
    struct CompletionTiming {
        std::chrono::milliseconds delay{0};      // from the command to its status
        std::chrono::milliseconds signalLag{0};  // from the status to its event
    };
    CompletionTiming completionTiming();
    CommandScheduler& scheduler() { return scheduler_; }

private:
    struct Slot {
        const char* name;
        uint64_t identity;
        std::shared_ptr<VirtualDrive> drive;
    };

    VirtualDriveLibrary() = default;
    void configureLocked(std::string_view discs, std::string_view faults);
    void ensureConfigured();
    const char* intern(std::string name);
    Slot* slotAt(int adapter, int target, int lun);  // with mutex_ held

    std::mutex mutex_;
    bool configured_ = false;
    FaultSettings faults_;
    std::vector<Slot> drives_;
    std::set<std::string> names_;  // nodes never move, so handed-out names stay valid
    // Last, so that the worker stops before the drives it uses go away.
    CommandScheduler scheduler_;
};

}  // namespace lumbra::virtualdrive
