// A write past the file-size limit (RLIMIT_FSIZE) kills the process unless the process ignores
// SIGXFSZ. That is a decision for a whole program, so each program makes it once at start-up
// rather than every file it opens changing it behind its caller's back.
#pragma once

namespace lumbra::platform {

// From now on a write past the limit fails with EFBIG, and the file being written is reported
// and removed like after any other write failure.
void failWritesPastFileSizeLimit();

}  // namespace lumbra::platform
