// The transport through an ASPI-manager-style library loaded at run time.
#pragma once

#include <memory>
#include <string>

#include "cdaccess/scsi_request.h"
#include "cdaccess/scsi_transport.h"
#include "platform/shared_library.h"

namespace lumbra {

class AspiManagerTransport : public ScsiTransport {
public:
    // Loads the library at `path`. nullptr when it does not load (`loadError` says why) or when
    // it lacks an entry point (last error -2 or -3 is then set).
    static std::unique_ptr<AspiManagerTransport> load(const std::string& path,
                                                      std::string& loadError);

    uint32_t queryAdapterCount() override { return getSupportInfo_(); }
    uint8_t sendScsiRequest(void* request) override { return uint8_t(sendCommand_(request)); }

    // An optional export of the library, or nullptr.
    void* extension(const char* name) { return library_.symbol(name); }

private:
    AspiManagerTransport(platform::SharedLibrary library, GetSupportInfoFunction getSupportInfo,
                         SendCommandFunction sendCommand)
        : library_(std::move(library)),
          getSupportInfo_(getSupportInfo),
          sendCommand_(sendCommand) {}

    platform::SharedLibrary library_;
    GetSupportInfoFunction getSupportInfo_;
    SendCommandFunction sendCommand_;
};

// Stands in when no transport is there: every query and command fails with status 0xE3.
class SubstituteTransport : public ScsiTransport {
public:
    uint32_t queryAdapterCount() override { return kStatusNotInitialised; }
    uint8_t sendScsiRequest(void* request) override;
};

}  // namespace lumbra
