// The per-process last error and last status of the CD access layer. Callers put both into their
// messages after a failure; they are meaningful only to the thread that just failed.
#pragma once

#include <array>
#include <cstdint>

namespace lumbra {

using SenseData = std::array<uint8_t, 14>;

// Returns the last error and clears it to 0.
int takeLastError();
// Returns the last-status byte and sets it to 1. It is 0 before any command failed.
uint8_t takeLastStatus();
// Sense data of the last command that ended with a device error (zero when it gave none).
SenseData lastSense();

void setLastError(int error);
// Sets last error -4 unless `keepExisting` and another error is set already.
void setLastErrorUnlessSet(int error);
// Records a command that did not end with status 1: its status and sense.
void recordFailedCommand(uint8_t status, const SenseData& sense);

}  // namespace lumbra
