// The two ASPI-manager entry points over the virtual drives, in the request layouts of
// cdaccess/scsi_request.h.
#pragma once

#include <cstdint>

#include "plugins/virtualdrive/virtual_drive_library.h"

namespace lumbra::virtualdrive {

// Status 1 in the second byte, the number of host adapters in the low byte.
uint32_t aspiSupportInfo(VirtualDriveLibrary& library);

// Answers an adapter inquiry or a device-type request at once. An execute request is checked,
// left pending and completed on the library's worker: buffer filled, status 1, or status 4 with
// sense data, then the completion event signalled when the request asks for it. Returns the
// request's status (4 for a null request or an unknown command).
uint32_t aspiSendCommand(VirtualDriveLibrary& library, void* request);

}  // namespace lumbra::virtualdrive
