// setup.ini as users leave it: who may read it, and files the program must neither hang on nor
// replace (a FIFO, a symbolic link, one the user may not write).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <filesystem>
#include <functional>

#include "settings/settings_loaders.h"
#include "support/child_process.h"
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

// With the usual umask a file created or replaced without care is 0644: readable by every local
// user, password included.
TEST_F(SettingsFile, EveryWriteLeavesItOwnerOnly) {
    const mode_t saved = umask(022);
    loadAll();
    EXPECT_EQ(modeOf(path), 0600u) << "after a first start";

    const struct {
        const char* name;
        std::function<void()> write;
    } paths[] = {
        {"a key written", [&] { store.writeString("PROXY", "PROXY_PORT", "8080"); }},
        {"a key deleted", [&] { store.deleteKey("PROXY", "PROXY_PASSWORD"); }},
        {"the server list replaced",
         [&] {
             std::vector<CddbServer> servers{defaultCddbServer()};
             replaceCddbServers(store, servers, 2);
         }},
        {"a start", [&] { loadAll(); }},
    };
    for (const auto& p : paths) {
        home.write("setup.ini",
                   "[PROXY]\nPROXY_PASSWORD=secret\n[CDDB]\nCDDB_COUNT=1\nCDDB_SERVER1=x\n");
        chmod(path.c_str(), 0644);
        p.write();
        EXPECT_EQ(modeOf(path), 0600u) << p.name;
    }
    umask(saved);
    EXPECT_EQ(settingsFileNotice(path), std::nullopt);
}

// A start that reads every key of a file near the limit reads it from disk once (it was read and
// parsed once per key); one over the limit is neither read nor replaced.
TEST_F(SettingsFile, IsReadOnceAndRefusedOverOneMebibyte) {
    std::string filler = "[FILLER]\n";
    for (int n = 0; filler.size() < kMaxSettingsFileBytes - 4096; ++n)
        filler += "KEY" + std::to_string(n) + "=" + std::string(40, 'x') + "\n";
    const std::string ini = filler + "[OUTPUT]\nOUTPUT_FORMAT=<Title>\n[CDDB]\nCDDB_COUNT=1\n";
    home.write("setup.ini", ini);
    auto file = std::make_unique<FileSettings>(path);
    const FileSettings& backend = *file;
    const SettingsStore counted(std::move(file));
    loadAllSettings(counted, record, home.path());
    EXPECT_EQ(record.namingTemplate, "<Title>");
    EXPECT_EQ(backend.diskReads(), 1u);

    home.write("setup.ini", ini + std::string(8192, ';'));
    const std::string oversized = home.read("setup.ini");
    SettingsRecord refused;
    loadAllSettings(counted, refused, home.path());
    EXPECT_EQ(refused.namingTemplate, "<Artist> \\ <Album> \\ <Title>");
    EXPECT_EQ(backend.diskReads(), 1u);
    EXPECT_EQ(home.read("setup.ini"), oversized) << "replaced";
    const auto notice = settingsFileNotice(path);
    ASSERT_TRUE(notice);
    EXPECT_TRUE(contains(*notice, "不会被读取")) << *notice;
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
    const int child = test::inChildProcess([&] {
        if (geteuid() == 0 && (chown(home.path().c_str(), kNobody, kNobody) != 0 ||
                               chown(path.c_str(), kNobody, kNobody) != 0 || setgid(kNobody) != 0 ||
                               setuid(kNobody) != 0)) {
            return 10;
        }
        loadAll();
        const bool wrote = store.writeString("OUTPUT", "OUTPUT_FORMAT", "<Album>");
        const auto notice = settingsFileNotice(path);
        if (record.namingTemplate != "<Title>") return 11;
        if (wrote) return 12;
        return notice && contains(*notice, "无法写入") ? 0 : 13;
    });
    EXPECT_EQ(child, 0);
    EXPECT_EQ(home.read("setup.ini"), original);
    EXPECT_EQ(modeOf(path), 0444u);
}

}  // namespace
}  // namespace lumbra
