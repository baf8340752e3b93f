// The body of the disc lookup job: finds the metadata of the disc in a drive, asking the local
// disc database first and a CDDB server second, and hands the result over as a disc information
// text.
#pragma once

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>

#include "cdaccess/cd_handle.h"
#include "cdaccess/shared_cd_state.h"
#include "metadata/cddb_config.h"
#include "metadata/musicbrainz_client.h"

namespace lumbra {

inline constexpr size_t kLookupTextCapacity = 32000;
inline constexpr size_t kLookupMatchCapacity = 32;
// Today's public server keeps titles in UTF-8 and sends them only at level 6; level 5 loses
// every title that is not Latin.
inline constexpr int kLookupProtocolLevel = 6;
inline constexpr const char* kLookupClientName = "Lumbra Software";
inline constexpr const char* kLocalDatabaseFileName = "cdinfo.db";

// A job's drive handle. Whoever lets go first, the job when it is done with the drive or a stop
// that frees the drive at once, closes it; the other finds nothing left to close. Once stop has
// returned the job holds no handle and opens none, so the drive is free for whatever follows.
class LookupHandle {
public:
    LookupHandle() = default;
    LookupHandle(const LookupHandle&) = delete;
    LookupHandle& operator=(const LookupHandle&) = delete;

    // Opens the drive unless stopped; the handle, or 0.
    int open(const OpenDriveRequest& drive);
    int get() const { return handle_.get(); }
    void release() { handle_.release(); }
    void stop();

private:
    std::mutex openMutex_;  // a stop waits for an open under way, which then sees it
    bool stopped_ = false;
    CdHandle handle_;
};

// The job's body on the calling thread: the disc information text found for the disc in
// `drive`, empty when nothing was found or anything failed. The local database is asked first,
// then MusicBrainz (when `musicBrainz` is given and enabled; its first release is taken and filed
// in the local database), then the CDDB server. The drive is held only while the disc is
// identified, never during a network exchange. When `wanted` is cleared while a server is asked,
// no entry is read.
std::string runDiscLookup(const CddbConfig& config, const OpenDriveRequest& drive,
                          LookupHandle& handle, const std::atomic<bool>& wanted,
                          const MusicBrainzConfig* musicBrainz = nullptr);

}  // namespace lumbra
