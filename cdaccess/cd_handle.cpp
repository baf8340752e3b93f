#include "cdaccess/cd_handle.h"

namespace lumbra {

int CdHandle::open(const OpenDriveRequest& drive) {
    release();
    const int opened = getCDHandle(&drive);
    handle_ = opened > 0 ? opened : 0;
    return handle_;
}

void CdHandle::release() {
    const int handle = handle_.exchange(0);
    if (handle > 0) releaseCDHandle(handle);
}

}  // namespace lumbra
