#include "platform/profile_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/temp_dir.h"

namespace lumbra::platform {
namespace {

mode_t permissions(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_mode & 0777;
}

TEST(ProfileFile, MissingFileSectionOrKeyGivesTheDefault) {
    test::TempDir dir;
    const std::string path = dir.write("setup.ini", "[MP3]\nMP3_BITRATE=\n");
    EXPECT_EQ(profileReadInt(dir.file("none.ini"), "MP3", "MP3_BITRATE", 8), 8);
    EXPECT_EQ(profileReadInt(path, "OGG", "MP3_BITRATE", 8), 8);
    EXPECT_EQ(profileReadInt(path, "MP3", "MP3_BITRATE", 8), 8);  // empty value
    EXPECT_EQ(profileReadString(path, "MP3", "MP3_SAMPLE", "NULL"), "NULL");
}

TEST(ProfileFile, StringsComeBackAsAtMost255BytesOfWholeCharacters) {
    test::TempDir dir;
    const std::string path = dir.file("setup.ini");
    ASSERT_TRUE(profileWriteString(path, "OUTPUT", "OUTPUT_FOLDER", std::string(300, 'a')));
    EXPECT_EQ(profileReadString(path, "OUTPUT", "OUTPUT_FOLDER", ""), std::string(255, 'a'));

    std::string chinese;
    for (int i = 0; i < 100; ++i) chinese += "音";  // 3 bytes each
    ASSERT_TRUE(profileWriteString(path, "OUTPUT", "OUTPUT_FORMAT", chinese));
    EXPECT_EQ(profileReadString(path, "OUTPUT", "OUTPUT_FORMAT", ""), chinese.substr(0, 255));
    ASSERT_TRUE(profileWriteString(path, "OUTPUT", "OUTPUT_FORMAT", "a" + chinese));
    EXPECT_EQ(profileReadString(path, "OUTPUT", "OUTPUT_FORMAT", "").size(), 253u);
}

TEST(ProfileFile, WritesKeepTheRestOfTheFile) {
    test::TempDir dir;
    const std::string path = dir.write("setup.ini", "; mine\r\n[MP3]\r\nMP3_BITRATE=8\r\nCUSTOM=x\r\n");
    ASSERT_TRUE(profileWriteString(path, "mp3", "mp3_bitrate", "12"));
    ASSERT_TRUE(profileWriteString(path, "WAV", "WAV_SAMPLE", "2"));
    EXPECT_EQ(dir.read("setup.ini"),
              "; mine\r\n[MP3]\r\nMP3_BITRATE=12\r\nCUSTOM=x\r\n[WAV]\r\nWAV_SAMPLE=2\r\n");
    ASSERT_TRUE(profileDeleteSection(path, "MP3"));
    EXPECT_EQ(dir.read("setup.ini"), "; mine\r\n[WAV]\r\nWAV_SAMPLE=2\r\n");
    ASSERT_TRUE(profileDeleteKey(path, "WAV", "WAV_SAMPLE"));
    EXPECT_EQ(dir.read("setup.ini"), "; mine\r\n[WAV]\r\n");
}

TEST(ProfileFile, DeletingFromAMissingFileCreatesNothing) {
    test::TempDir dir;
    EXPECT_TRUE(profileDeleteKey(dir.file("setup.ini"), "CDDB", "CDDB_SERVER0"));
    EXPECT_TRUE(profileDeleteSection(dir.file("setup.ini"), "CDDB"));
    EXPECT_EQ(access(dir.file("setup.ini").c_str(), F_OK), -1);
}

TEST(ProfileFile, PrivateFilesStayReadableByTheirOwnerOnly) {
    test::TempDir dir;
    const std::string path = dir.file("setup.ini");
    ASSERT_TRUE(profileWriteString(path, "PROXY", "PROXY_USER", "me"));
    EXPECT_NE(permissions(path) & 0044, 0u);
    ASSERT_TRUE(profileWriteString(path, "PROXY", "PROXY_PASSWORD", "secret", FileAccess::Private));
    EXPECT_EQ(permissions(path), 0600u);
    ASSERT_TRUE(profileWriteString(path, "PROXY", "PROXY_PORT", "8080"));
    EXPECT_EQ(permissions(path), 0600u);
}

// A process killed while it writes (here by the file-size limit, mid-way through the new text)
// must leave the old file whole.
TEST(ProfileFile, ACrashMidWriteLeavesTheOldFileWhole) {
    test::TempDir dir;
    const std::string original = "[OUTPUT]\nOUTPUT_FORMAT=<Artist> \\ <Title>\n[MP3]\nMP3_BITRATE=8\n";
    const std::string path = dir.write("setup.ini", original);
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        rlimit limit{64, 64};
        setrlimit(RLIMIT_FSIZE, &limit);
        profileWriteString(path, "MP3", "MP3_BITRATE", std::string(4096, '9'));
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
    EXPECT_EQ(dir.read("setup.ini"), original);
}

TEST(ProfileFile, AFailedWriteReportsFailureAndKeepsTheFile) {
    test::TempDir dir;
    const std::string original = "[MP3]\nMP3_BITRATE=8\n";
    const std::string path = dir.write("setup.ini", original);
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{16, 16};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(profileWriteString(path, "MP3", "MP3_BITRATE", "12") ? 1 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the write claimed success";
    EXPECT_EQ(dir.read("setup.ini"), original);
}

}  // namespace
}  // namespace lumbra::platform
