// Where the program finds its home folder and its libraries. Loading that succeeds is exercised
// by every test that loads the virtual drive module.
#include "platform/program_home.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>
#include <cstdlib>

#include "platform/shared_library.h"

namespace lumbra::platform {
namespace {

TEST(ProgramHome, IsTheEnvironmentsFolderElseTheExecutablesWhenThatIsWritable) {
    setenv("LUMBRA_HOME", "/srv/lumbra//", 1);
    EXPECT_EQ(programHome(), "/srv/lumbra");
    EXPECT_EQ(programHome("/opt/chosen/"), "/opt/chosen") << "a front end's choice comes first";
    unsetenv("LUMBRA_HOME");
    const std::string folder = executableFolder();
    ASSERT_EQ(access(folder.c_str(), W_OK), 0);
    EXPECT_EQ(programHome(), folder);
    EXPECT_EQ(access((folder + "/platform_tests").c_str(), X_OK), 0);
}

// The XDG rules: a relative XDG_CONFIG_HOME is ignored; without HOME the password database knows
// the user's home, never the root folder.
TEST(ProgramHome, AnInstalledProgramsFolderFollowsTheXdgRulesWithOrWithoutHome) {
    const char* home = std::getenv("HOME");
    const std::string savedHome = home ? home : "";
    setenv("HOME", "/home/tester/", 1);
    setenv("XDG_CONFIG_HOME", "/srv/config/", 1);
    EXPECT_EQ(userConfigFolder(), "/srv/config/lumbra-cdripper");
    setenv("XDG_CONFIG_HOME", "relative/config", 1);
    EXPECT_EQ(userConfigFolder(), "/home/tester/.config/lumbra-cdripper");
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("HOME");
    const passwd* user = getpwuid(getuid());
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(userConfigFolder(), std::string(user->pw_dir) + "/.config/lumbra-cdripper");
    setenv("HOME", "", 1);
    EXPECT_EQ(userConfigFolder(), std::string(user->pw_dir) + "/.config/lumbra-cdripper");
    if (home) setenv("HOME", savedHome.c_str(), 1);
}

TEST(SharedLibrary, ReportsTheSystemsReasonForAFailure) {
    SharedLibrary missing("/nonexistent/lame_enc.so");
    EXPECT_FALSE(missing.isLoaded());
    EXPECT_NE(missing.errorText().find("No such file"), std::string::npos) << missing.errorText();
    EXPECT_EQ(missing.symbol("beInitStream"), nullptr);

    SharedLibrary library("libm.so.6");
    ASSERT_TRUE(library.isLoaded()) << library.errorText();
    EXPECT_EQ(library.symbol("beInitStream"), nullptr);
    EXPECT_NE(library.errorText().find("beInitStream"), std::string::npos) << library.errorText();
}

}  // namespace
}  // namespace lumbra::platform
