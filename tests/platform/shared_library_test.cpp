#include "platform/shared_library.h"

#include <gtest/gtest.h>

namespace lumbra::platform {
namespace {

TEST(SharedLibrary, LoadsALibraryAndFindsItsFunctions) {
    SharedLibrary library("libm.so.6");
    ASSERT_TRUE(library.isLoaded()) << library.errorText();
    const auto cosine = library.function<double (*)(double)>("cos");
    ASSERT_NE(cosine, nullptr);
    EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
}

TEST(SharedLibrary, ReportsTheSystemsReasonForAFailure) {
    SharedLibrary missing("/nonexistent/lame_enc.so");
    EXPECT_FALSE(missing.isLoaded());
    EXPECT_NE(missing.errorText().find("No such file"), std::string::npos) << missing.errorText();
    EXPECT_EQ(missing.symbol("beInitStream"), nullptr);

    SharedLibrary library("libm.so.6");
    EXPECT_EQ(library.symbol("beInitStream"), nullptr);
    EXPECT_NE(library.errorText().find("beInitStream"), std::string::npos) << library.errorText();
}

}  // namespace
}  // namespace lumbra::platform
