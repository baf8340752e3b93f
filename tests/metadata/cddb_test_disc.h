// Putting a disc image into the virtual drive for the CDDB tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "cdaccess/cd_access.h"

namespace lumbra::test {

// Some builds keep the virtual drive library loaded from one test to the next, and it reads its
// discs from the environment only when first loaded; so the disc is put in explicitly too.
inline void putDiscIn(const std::string& cuePath) {
    using Configure = int (*)(const char*, const char*);
    const auto configure = reinterpret_cast<Configure>(transportExtension("LumbraVirtualConfigure"));
    ASSERT_NE(configure, nullptr);
    ASSERT_EQ(configure(cuePath.c_str(), ""), 1);
}

}  // namespace lumbra::test
