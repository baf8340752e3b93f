// Platforms without a pass-through of their own: the back end finds no drive.
#include "cdaccess/device_io.h"

namespace lumbra {

std::unique_ptr<DeviceIo> makeSystemDeviceIo() {
    return nullptr;
}

}  // namespace lumbra
