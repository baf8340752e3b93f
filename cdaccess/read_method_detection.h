// Finding the read command a drive answers, by test reads.
#pragma once

#include "cdaccess/track_buffer.h"

namespace lumbra {

// The read routine of read method 0: tries the methods in the order 2, 1, 8, 4, 5, 6, 7, up to
// three test reads each, and keeps the first whose read delivers. 1 with the buffer read and the
// method installed for the handle's later reads; 4 with detection installed again.
int detectReadMethod(int handle, TrackBuffer& buffer);

}  // namespace lumbra
