// The common steps of every command: build the request, send it, wait for its completion at most
// the completion time-out, and record a failure in last error and last status.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "cdaccess/mmc_commands.h"

namespace lumbra {

struct CommandBlock {
    std::array<uint8_t, 16> cdb{};
    uint8_t cdbLength = 0;
    uint8_t flags = 0;
    uint8_t* buffer = nullptr;
    uint32_t length = 0;

    CommandBlock(const mmc::Cdb& block, uint8_t flags, uint8_t* buffer = nullptr,
                 uint32_t length = 0);
    // Raw bytes, for tests that send what no builder makes.
    CommandBlock(std::initializer_list<uint8_t> bytes, uint8_t flags, uint8_t* buffer = nullptr,
                 uint32_t length = 0);
};

struct DeviceAddress {
    uint8_t adapter = 0;
    uint8_t target = 0;
    uint8_t lun = 0;
};

// Sends the command to an address without a handle or a lock: 1, or 4 with last error -4 and
// the status in last status. A command still pending after the time-out fails with status 0.
int executeCommand(const DeviceAddress& address, const CommandBlock& command);

// Sends the command through a handle under its slot lock: also 4 with -7 or -11.
int executeOnHandle(int handle, const CommandBlock& command);

// Sends an adapter-inquiry or device-type request and returns its status (0 when it did not
// complete).
uint8_t sendSynchronousRequest(void* request);

// Frees the timed-out requests whose late completion has since come; the others are kept, as their
// completer may still write into them.
// Every command does this first.
void releaseAbandonedCommands();
// The timed-out requests still kept.
size_t abandonedCommandCount();

}  // namespace lumbra
