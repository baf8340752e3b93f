// One virtual CD drive: a tray that may hold a disc, the modes that MODE SELECT set, and the
// faults it shows. It answers MMC command blocks as a real drive would.
#pragma once

#include <memory>
#include <mutex>
#include <span>

#include "plugins/virtualdrive/disc.h"
#include "plugins/virtualdrive/drive_modes.h"
#include "plugins/virtualdrive/mmc_opcodes.h"
#include "plugins/virtualdrive/read_command.h"
#include "plugins/virtualdrive/read_faults.h"
#include "plugins/virtualdrive/sense.h"

namespace lumbra::virtualdrive {

class VirtualDrive {
public:
    // `disc` may be null: an empty drive.
    VirtualDrive(std::shared_ptr<const Disc> disc, const FaultSettings& faults, uint64_t seed);

    // Runs one command. Data in and out moves through `buffer`, whose size is the most the host
    // adapter can move; nothing outside it is touched. Safe to call from any thread; never
    // throws.
    CommandOutcome execute(const Cdb& cdb, std::span<uint8_t> buffer);

    // Puts `disc` (null: none) in the drive and closes the tray.
    void insertDisc(std::shared_ptr<const Disc> disc);

    // A host opened the drive (it asks the device type first): the next read lands exactly, as
    // the first read after opening does on a real drive.
    void opened();

private:
    const Disc* medium() const { return trayOpen_ ? nullptr : disc_.get(); }
    CommandOutcome dispatch(const Cdb& cdb, std::span<uint8_t> buffer);
    CommandOutcome inquiry(const Cdb& cdb, std::span<uint8_t> buffer) const;
    CommandOutcome readToc(const Cdb& cdb, std::span<uint8_t> buffer) const;
    CommandOutcome readCdText(const Disc& disc, const Cdb& cdb, std::span<uint8_t> buffer) const;
    CommandOutcome readSubChannel(const Cdb& cdb, std::span<uint8_t> buffer) const;
    CommandOutcome startStopUnit(const Cdb& cdb);
    CommandOutcome preventAllowRemoval(const Cdb& cdb);
    CommandOutcome readAudio(const Cdb& cdb, std::span<uint8_t> buffer);
    CommandOutcome deliverFrames(const Disc& disc, const ReadRequest& read,
                                 std::span<uint8_t> buffer);

    std::mutex mutex_;
    std::shared_ptr<const Disc> disc_;
    bool trayOpen_ = false;
    bool removalPrevented_ = false;
    DriveModes modes_;
    ReadFaults faults_;
};

}  // namespace lumbra::virtualdrive
