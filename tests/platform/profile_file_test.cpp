#include "platform/profile_file.h"

#include "platform/cached_profile_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/temp_dir.h"

namespace lumbra::platform {
namespace {

TEST(ProfileFile, ReadsGiveTheDefaultForWhatIsMissingAndCutLongStrings) {
    test::TempDir dir;
    const std::string path = dir.write("setup.ini", "[MP3]\nMP3_BITRATE=\n");
    EXPECT_EQ(profileReadInt(dir.file("none.ini"), "MP3", "MP3_BITRATE", 8), 8);
    EXPECT_EQ(profileReadInt(path, "OGG", "MP3_BITRATE", 8), 8);
    EXPECT_EQ(profileReadInt(path, "MP3", "MP3_BITRATE", 8), 8);  // empty value
    EXPECT_EQ(profileReadString(path, "MP3", "MP3_SAMPLE", "NULL"), "NULL");

    // Strings come back as at most 255 bytes of whole characters.
    ASSERT_TRUE(profileWriteString(path, "OUTPUT", "OUTPUT_FOLDER", std::string(300, 'a')));
    EXPECT_EQ(profileReadString(path, "OUTPUT", "OUTPUT_FOLDER", ""), std::string(255, 'a'));

    std::string chinese;
    for (int i = 0; i < 100; ++i) chinese += "音";  // 3 bytes each
    ASSERT_TRUE(profileWriteString(path, "OUTPUT", "OUTPUT_FORMAT", chinese));
    EXPECT_EQ(profileReadString(path, "OUTPUT", "OUTPUT_FORMAT", ""), chinese.substr(0, 255));
    ASSERT_TRUE(profileWriteString(path, "OUTPUT", "OUTPUT_FORMAT", "a" + chinese));
    EXPECT_EQ(profileReadString(path, "OUTPUT", "OUTPUT_FORMAT", "").size(), 253u);
}

TEST(ProfileFile, EditsKeepTheRestOfTheFileAndDeletesCreateNoFile) {
    test::TempDir dir;
    EXPECT_TRUE(profileDeleteKey(dir.file("setup.ini"), "CDDB", "CDDB_SERVER0"));
    EXPECT_TRUE(profileDeleteSection(dir.file("setup.ini"), "CDDB"));
    EXPECT_EQ(access(dir.file("setup.ini").c_str(), F_OK), -1);

    const std::string path =
        dir.write("setup.ini", "; mine\r\n[MP3]\r\nMP3_BITRATE=8\r\nCUSTOM=x\r\n");
    ASSERT_TRUE(profileWriteString(path, "mp3", "mp3_bitrate", "12"));
    ASSERT_TRUE(profileWriteString(path, "WAV", "WAV_SAMPLE", "2"));
    ASSERT_TRUE(profileDeleteKey(path, "WAV", "WAV_SAMPLE"));
    EXPECT_EQ(dir.read("setup.ini"), "; mine\r\n[MP3]\r\nMP3_BITRATE=12\r\nCUSTOM=x\r\n[WAV]\r\n");
    ASSERT_TRUE(profileDeleteSection(path, "MP3"));
    EXPECT_EQ(dir.read("setup.ini"), "; mine\r\n[WAV]\r\n");
}

// Lookups come from the text kept since the last read or write, and every change made on disk by
// someone else is seen (and kept by the next write).
TEST(ProfileFile, AKeptFileIsReadAgainOnlyWhenItChanged) {
    test::TempDir dir;
    const std::string path = dir.file("setup.ini");
    CachedProfileFile file(path, 4096, FileAccess::Private);
    EXPECT_EQ(file.current().find("A", "x"), std::nullopt);
    ASSERT_TRUE(
        file.edit([](std::string_view text) { return setProfileValue(text, "A", "x", "1"); }));
    for (int i = 0; i < 100; ++i) EXPECT_EQ(file.current().find("A", "x"), "1");
    EXPECT_EQ(file.diskReads(), 0u) << "its own write needs no read";

    dir.write("setup.ini", "[A]\nx=22\ny=3\n");
    EXPECT_EQ(file.current().find("A", "x"), "22");
    ASSERT_TRUE(
        file.edit([](std::string_view text) { return setProfileValue(text, "A", "x", "4"); }));
    EXPECT_EQ(dir.read("setup.ini"), "[A]\nx=4\ny=3\n");
    EXPECT_EQ(file.diskReads(), 1u);

    dir.write("setup.ini", "[A]\nx=5\ny=3\n");  // same size, maybe the same time stamp
    file.forget();
    EXPECT_EQ(file.current().find("A", "x"), "5");

    dir.write("setup.ini", "[A]\nx=" + std::string(5000, '6') + "\n");
    EXPECT_EQ(file.current().find("A", "x"), std::nullopt) << "over the limit";
    EXPECT_FALSE(file.edit([](std::string_view) { return std::string("[A]\n"); }));
    EXPECT_EQ(storedFileState(path, 4096), StoredFileState::TooLarge);
}

// The wait status of `body` run in a child process whose files may grow to `limit` bytes only.
template <typename Body>
int statusOfChildLimitedTo(rlim_t limit, Body body) {
    const pid_t child = fork();
    if (child == 0) {
        const rlimit fileSize{limit, limit};
        setrlimit(RLIMIT_FSIZE, &fileSize);
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

// A process killed while it writes (by the file-size limit, mid-way through the new text) must
// leave the old file whole; a write that fails must say so and keep the old file too.
TEST(ProfileFile, AWriteKilledOrFailingMidWayLeavesTheOldFileWhole) {
    test::TempDir dir;
    const std::string original =
        "[OUTPUT]\nOUTPUT_FORMAT=<Artist> \\ <Title>\n[MP3]\nMP3_BITRATE=8\n";
    const std::string path = dir.write("setup.ini", original);
    int status = statusOfChildLimitedTo(64, [&] {
        profileWriteString(path, "MP3", "MP3_BITRATE", std::string(4096, '9'));
        return 0;
    });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
    EXPECT_EQ(dir.read("setup.ini"), original);

    status = statusOfChildLimitedTo(16, [&] {
        signal(SIGXFSZ, SIG_IGN);
        return profileWriteString(path, "MP3", "MP3_BITRATE", "12") ? 1 : 0;
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the write claimed success";
    EXPECT_EQ(dir.read("setup.ini"), original);
}

}  // namespace
}  // namespace lumbra::platform
