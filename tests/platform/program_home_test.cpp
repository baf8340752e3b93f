#include "platform/program_home.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/native_path.h"
#include "support/temp_dir.h"

namespace lumbra::platform {
namespace {

class ProgramHome : public ::testing::Test {
protected:
    void TearDown() override { unsetenv("LUMBRA_HOME"); }
};

TEST_F(ProgramHome, TheEnvironmentOverridesAndLosesItsTrailingSlash) {
    setenv("LUMBRA_HOME", "/srv/lumbra//", 1);
    EXPECT_EQ(programHome(), "/srv/lumbra");
}

TEST_F(ProgramHome, IsTheExecutablesFolderWhenThatIsWritable) {
    unsetenv("LUMBRA_HOME");
    const std::string folder = executableFolder();
    ASSERT_EQ(access(folder.c_str(), W_OK), 0);
    EXPECT_EQ(programHome(), folder);
    EXPECT_EQ(access((folder + "/" + "platform_tests").c_str(), X_OK), 0);
}

TEST(NativePath, ConvertsBetweenBackslashAndNativeForms) {
    EXPECT_EQ(toNativePath("\\home\\u\\Music\\周杰伦\\范特西"), "/home/u/Music/周杰伦/范特西");
    EXPECT_EQ(toBackslashPath("/home/u/Music"), "\\home\\u\\Music");
    EXPECT_EQ(toNativePath(toBackslashPath("relative/My Music")), "relative/My Music");
}

}  // namespace
}  // namespace lumbra::platform
