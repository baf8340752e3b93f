// The two transport entry points, whichever back end stands behind them: an ASPI-manager-style
// library, the Linux pass-through emulation, or the substitutes when neither is there.
#pragma once

#include <cstdint>

namespace lumbra {

class ScsiTransport {
public:
    virtual ~ScsiTransport() = default;
    // Low byte: number of host adapters; second byte: kStatusDone, kStatusNoAdapters or another
    // failure status.
    virtual uint32_t queryAdapterCount() = 0;
    // Takes an AdapterInquiryRequest, DeviceTypeRequest or ScsiRequest (by its header's command)
    // and returns its status; kStatusPending means its completion event will be signalled.
    virtual uint8_t sendScsiRequest(void* request) = 0;
};

}  // namespace lumbra
