// Where the program finds its home folder and its libraries. Loading that succeeds is exercised
// by every test that loads the virtual drive module.
#include "platform/program_home.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>
#include <cstdlib>
#include <filesystem>

#include "platform/shared_library.h"
#include "platform/user_dirs.h"
#include "support/temp_dir.h"

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

// An installed program (its home is the user's configuration folder) puts music where the user
// looks for it; any other home keeps its folders inside, as setup.ini files written there expect.
TEST(ProgramHome, AnInstalledProgramsDefaultFoldersAreTheUsersMusicAndDataFolders) {
    test::TempDir dir;
    const char* home = std::getenv("HOME");
    const std::string savedHome = home ? home : "";
    setenv("HOME", dir.path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
    setenv("XDG_DATA_HOME", dir.file("data").c_str(), 1);
    const std::string installed = userConfigFolder();
    EXPECT_EQ(defaultFolders(installed).output, dir.file("Music")) << "without user-dirs.dirs";
    EXPECT_EQ(defaultFolders(installed).localDatabase, dir.file("data/lumbra-cdripper/Local CDDB"));
    std::filesystem::create_directories(dir.file("config"));
    dir.write("config/user-dirs.dirs", "# written by the desktop\nXDG_MUSIC_DIR=\"$HOME/音乐\"\n");
    EXPECT_EQ(defaultFolders(installed).output, dir.file("音乐"));
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(defaultFolders(installed).localDatabase,
              dir.file(".local/share/lumbra-cdripper/Local CDDB"));
    EXPECT_EQ(defaultFolders("/opt/portable").output, "/opt/portable/My Music");
    EXPECT_EQ(defaultFolders("/opt/portable").localDatabase, "/opt/portable/Local CDDB");
    unsetenv("XDG_CONFIG_HOME");
    if (home) setenv("HOME", savedHome.c_str(), 1);
}

TEST(UserDirs, TheMusicFolderIsReadAsTheDesktopWritesIt) {
    const auto music = [](std::string_view text) {
        return userDirFromText(text, "XDG_MUSIC_DIR", "/home/u");
    };
    EXPECT_EQ(music("XDG_MUSIC_DIR=\"$HOME/Music\""), "/home/u/Music");
    EXPECT_EQ(music("XDG_MUSIC_DIR=\"/srv/music/\"\n"), "/srv/music");
    EXPECT_EQ(music("XDG_MUSIC_DIR=\"$HOME/a\"\nXDG_MUSIC_DIR=\"$HOME/b\""), "/home/u/b");
    EXPECT_EQ(music("#XDG_MUSIC_DIR=\"$HOME/x\"\nXDG_MUSIC_DIRS=\"$HOME/y\""), std::nullopt);
    EXPECT_EQ(music("XDG_MUSIC_DIR=\"$HOME/\""), std::nullopt) << "the home itself: turned off";
    EXPECT_EQ(music("XDG_MUSIC_DIR=\"Music\""), std::nullopt) << "relative";
    EXPECT_EQ(music("XDG_MUSIC_DIR=\"$HOMEX/y\""), std::nullopt);
    EXPECT_EQ(music("XDG_MUSIC_DIR=\"$HOME/a"), std::nullopt) << "unterminated";
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
