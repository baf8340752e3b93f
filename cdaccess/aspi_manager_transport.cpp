#include "cdaccess/aspi_manager_transport.h"

#include "cdaccess/cd_access_errors.h"
#include "cdaccess/last_error.h"

namespace lumbra {

std::unique_ptr<AspiManagerTransport> AspiManagerTransport::load(const std::string& path,
                                                                 std::string& loadError) {
    platform::SharedLibrary library(path);
    if (!library.isLoaded()) {
        loadError = library.errorText();
        return nullptr;
    }
    const auto getSupportInfo = library.function<GetSupportInfoFunction>(kGetSupportInfoName);
    if (!getSupportInfo) {
        setLastError(kErrorNoSupportInfoEntry);
        return nullptr;
    }
    const auto sendCommand = library.function<SendCommandFunction>(kSendCommandName);
    if (!sendCommand) {
        setLastError(kErrorNoSendCommandEntry);
        return nullptr;
    }
    return std::unique_ptr<AspiManagerTransport>(
        new AspiManagerTransport(std::move(library), getSupportInfo, sendCommand));
}

uint8_t SubstituteTransport::sendScsiRequest(void* request) {
    if (request) static_cast<ScsiRequestHeader*>(request)->status = kStatusNotInitialised;
    return kStatusNotInitialised;
}

}  // namespace lumbra
