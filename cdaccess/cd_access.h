// The CD access layer's life cycle and its handles: up to 16 open drives, shared by every running
// instance. Operations return 1 (done) or 0/4 as each says, and leave a code for takeLastError.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "cdaccess/shared_cd_state.h"

namespace lumbra {

class ScsiTransport;
class PassThroughTransport;

// Parameter codes of setDriveParameter.
inline constexpr int kParamReadSpeed = 0x20;
inline constexpr int kParamAddressForm = 0x24;
inline constexpr int kParamOverlapFrames = 0x25;
inline constexpr int kParamCompareFrames = 0x26;
inline constexpr int kParamStoredOnly = 0x27;

// How a program starts CD access.
struct CdAccessOptions {
    // An ASPI-style library to use as the transport; empty: the one $LUMBRA_ASPI_LIBRARY names.
    std::string aspiLibrary;
    // Handed to a virtual drive library as the discs its drives hold ("demo" or CUE sheet paths,
    // separated by ';'); empty: the library's own configuration.
    std::string virtualDiscs;
};

// Chooses the transport (the options' library, else the pass-through, else substitutes that
// fail every command with 0xE3), maps the shared slots and opens the locks. True when the shared
// block is mapped, whatever transport was found. Once started, later calls change nothing.
bool initCdAccess(const CdAccessOptions& options = {});
void shutdownCdAccess();

// Opens a handle (1 to 16) for the drive at the request's address, or 0: -13 no request, -14 bad
// size or version, -11 lock time-out, -12 drive already open, -10 not a CD-ROM, -8 no free slot.
// Drives of a library that holds disc images are told apart by disc as well as by address.
int getCDHandle(const OpenDriveRequest* request);
// Runs the slot's restore routine and frees it: 1, or 0 for a bad handle or a lock time-out.
int releaseCDHandle(int handle);
// True when another running program has a handle open on the drive this request opens: what a
// -12 from getCDHandle means to the user then.
bool driveHeldByAnotherProgram(const OpenDriveRequest& request);
// 1 done; 0 unknown code or bad handle (-7); 4 lock time-out (-11) or a failed speed command.
int setDriveParameter(int handle, int code, int value);

// The transport in use (substitutes before initCdAccess), and the pass-through back end when it
// is the transport or was built for drive letters; nullptr otherwise.
ScsiTransport& activeTransport();
PassThroughTransport* passThroughBackEnd();
// Builds the pass-through probe table when no one has yet: the number of drives it found on the
// call that built it, 0 on every later call.
int initialisePassThroughBackEnd();
// An optional export of the ASPI-style library in use, or nullptr.
void* transportExtension(const char* name);

// How long the layer waits. Tests shorten them; the defaults are what the program uses.
struct CdAccessTimeouts {
    std::chrono::milliseconds initLock{15000};
    std::chrono::milliseconds handleLock{10000};
    std::chrono::milliseconds slotLock{10000};
    std::chrono::milliseconds completion{4000};
};
CdAccessTimeouts cdAccessTimeouts();
void setCdAccessTimeouts(const CdAccessTimeouts& timeouts);

}  // namespace lumbra
