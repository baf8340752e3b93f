// Each test gets CD access of its own: a private namespace for the shared slots and locks
// (removed afterwards), and optionally virtual drives holding the given discs.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cdaccess/cd_access.h"
#include "cdaccess/shared_cd_state.h"
#include "platform/shared_memory.h"

namespace lumbra::test {

class IsolatedCdAccess : public ::testing::Test {
protected:
    void TearDown() override {
        shutdownCdAccess();
        setCdAccessTimeouts({});
        removeSharedObjects();
        for (const char* name :
             {"LUMBRA_ASPI_LIBRARY", "LUMBRA_VIRTUAL_DISCS", "LUMBRA_VIRTUAL_FAULTS"}) {
            unsetenv(name);
        }
    }

    // Removes the slots and locks of the namespace that LUMBRA_IPC_NAMESPACE names now.
    static void removeSharedObjects() {
        platform::SharedMemory::remove(kSharedStateName);
        for (const char* lock : {"ZentorDllMainMutex", "zentor32_getCDHandle"}) {
            platform::SharedMemory::remove(std::string("lock.") + lock);
        }
        for (int i = 0; i < kSlotCount; ++i) platform::SharedMemory::remove(slotLockName(i));
    }

    void SetUp() override {
        setenv("LUMBRA_IPC_NAMESPACE", ("t" + std::to_string(getpid())).c_str(), 1);
    }

    // Starts CD access over the virtual drive library with these discs and faults.
    void startVirtualDrives(const std::string& discs, const std::string& faults = "") {
        setenv("LUMBRA_ASPI_LIBRARY", LUMBRA_VIRTUAL_DRIVE_LIBRARY, 1);
        setenv("LUMBRA_VIRTUAL_DISCS", discs.c_str(), 1);
        setenv("LUMBRA_VIRTUAL_FAULTS", faults.c_str(), 1);
        ASSERT_TRUE(initCdAccess());
        // The library stays loaded once used, so a second start in one process must hand it
        // the new discs and faults itself.
        using Configure = int (*)(const char*, const char*);
        const auto configure =
            reinterpret_cast<Configure>(transportExtension("LumbraVirtualConfigure"));
        ASSERT_NE(configure, nullptr);
        configure(discs.c_str(), faults.c_str());
    }

    // Swaps the disc in a virtual drive for this sheet, or takes it out with "".
    static void insertDisc(int drive, const std::string& cuePath) {
        using InsertDisc = int (*)(int, const char*);
        const auto insert =
            reinterpret_cast<InsertDisc>(transportExtension("LumbraVirtualInsertDisc"));
        ASSERT_NE(insert, nullptr);
        ASSERT_EQ(insert(drive, cuePath.c_str()), 1);
    }

    static std::string slotLockName(int i) {
        char name[32];
        std::snprintf(name, sizeof name, "lock.zentor32_cdMtx%02d", i);
        return name;
    }
};

}  // namespace lumbra::test
