// setup.ini as users leave it: who may read it, and files the program must neither hang on nor
// replace (a FIFO, a symbolic link, one the user may not write).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <filesystem>

#include "settings/settings_loaders.h"
#include "support/temp_dir.h"

namespace lumbra {
namespace {

constexpr uid_t kNobody = 65534;

mode_t modeOf(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_mode & 0777;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class SettingsFile : public ::testing::Test {
protected:
    test::TempDir home;
    const std::string path = settingsPath(home.path());
    SettingsStore store{path};
    SettingsRecord record;

    void loadAll() { loadAllSettings(store, record, home.path()); }
};

TEST_F(SettingsFile, IsOwnerOnlyFromTheFirstStartAndAPasswordKeepsItSo) {
    loadAll();
    EXPECT_EQ(modeOf(path), 0600u) << "it may come to hold the proxy password";
    store.writeString("OUTPUT", "OUTPUT_FORMAT", "<Title>");
    EXPECT_EQ(modeOf(path), 0600u) << "after a rewrite";
    chmod(path.c_str(), 0640);
    store.writeString("PROXY", "PROXY_PORT", "8080");
    EXPECT_EQ(modeOf(path), 0640u) << "the owner's own choice is kept";
    store.writeString("PROXY", "PROXY_PASSWORD", "secret");
    EXPECT_EQ(modeOf(path), 0600u);
    EXPECT_EQ(settingsFileNotice(path), std::nullopt);
}

TEST_F(SettingsFile, AFifoIsNeitherReadNorReplacedAndTheUserIsTold) {
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    loadAll();  // would block for ever opening the FIFO for reading
    EXPECT_EQ(record.namingTemplate, "<Artist> \\ <Album> \\ <Title>");
    struct stat st {};
    ASSERT_EQ(lstat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "replaced by a regular file";
    const auto notice = settingsFileNotice(path);
    ASSERT_TRUE(notice);
    EXPECT_TRUE(contains(*notice, "不是普通文件")) << *notice;
}

TEST_F(SettingsFile, WritesGoThroughSymbolicLinksToTheirTargets) {
    const struct {
        const char* name;
        bool targetExists;
    } cases[] = {{"to a file", true}, {"dangling", false}};
    for (const auto& c : cases) {
        std::filesystem::remove(path);
        std::filesystem::remove_all(home.file("kept"));
        std::filesystem::create_directory(home.file("kept"));
        if (c.targetExists) home.write("kept/real.ini", "[OUTPUT]\nOUTPUT_FORMAT=<Title>\n");
        std::filesystem::create_symlink("kept/real.ini", path);
        loadAll();
        EXPECT_TRUE(std::filesystem::is_symlink(path)) << c.name;
        const std::string target = home.read("kept/real.ini");
        EXPECT_TRUE(contains(target, "CDDB_COUNT=1\n")) << c.name << ": " << target;
        EXPECT_EQ(record.namingTemplate,
                  c.targetExists ? "<Title>" : "<Artist> \\ <Album> \\ <Title>")
            << c.name;
        EXPECT_EQ(settingsFileNotice(path), std::nullopt) << c.name;
    }
}

// The child drops to an unprivileged user when run as root, who may write any file.
TEST_F(SettingsFile, OneTheUserMayNotWriteIsReadAndLeftAloneAndTheUserIsTold) {
    const std::string original = "[OUTPUT]\nOUTPUT_FORMAT=<Title>\n";
    home.write("setup.ini", original);
    chmod(path.c_str(), 0444);
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (chown(home.path().c_str(), kNobody, kNobody) != 0 ||
                               chown(path.c_str(), kNobody, kNobody) != 0 || setgid(kNobody) != 0 ||
                               setuid(kNobody) != 0)) {
            _exit(10);
        }
        loadAll();
        const bool wrote = store.writeString("OUTPUT", "OUTPUT_FORMAT", "<Album>");
        const auto notice = settingsFileNotice(path);
        if (record.namingTemplate != "<Title>") _exit(11);
        if (wrote) _exit(12);
        _exit(notice && contains(*notice, "无法写入") ? 0 : 13);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
    EXPECT_EQ(home.read("setup.ini"), original);
    EXPECT_EQ(modeOf(path), 0444u);
}

}  // namespace
}  // namespace lumbra
