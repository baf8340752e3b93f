// Names of system-wide objects (locks, shared memory). Every name carries a namespace suffix: the
// user id, or $LUMBRA_IPC_NAMESPACE, so that test runs stay apart while two instances of one run
// still meet.
#pragma once

#include <string>
#include <string_view>

namespace lumbra::platform {

// The POSIX object name ("/lumbra.<name>.<namespace>") for a Windows-style object name; characters
// that POSIX names cannot hold become '_'.
std::string ipcObjectName(std::string_view name);

}  // namespace lumbra::platform
