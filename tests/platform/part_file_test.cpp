#include "platform/part_file.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace lumbra::platform {
namespace {

namespace fs = std::filesystem;

// The folder's names in order, each part file's as "<part>".
std::string namesIn(const std::string& folder) {
    std::multiset<std::string> sorted;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        sorted.insert(name.starts_with(kPartFilePrefix) ? "<part>" : name);
    }
    std::string names;
    for (const std::string& name : sorted) names += name + " ";
    return names;
}

void writeText(const PartFile& part, std::string_view text) {
    ASSERT_EQ(::write(part.fd(), text.data(), text.size()), ssize_t(text.size()));
}

mode_t modeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

TEST(PartFile, AppearsUnderItsFinalNameOnlyWhenCommitted) {
    test::TempDir dir;
    dir.write("old.wav", "old");
    ::chmod(dir.file("old.wav").c_str(), 0640);
    {
        PartFile fresh(dir.path(), ".wav");
        PartFile replacing(dir.path() + "/", ".wav");
        ASSERT_TRUE(fresh.isOpen() && replacing.isOpen());
        EXPECT_NE(fresh.path(), replacing.path());
        EXPECT_EQ(fs::path(fresh.path()).parent_path(), fs::path(dir.path()));
        writeText(fresh, "new");
        writeText(replacing, "replaced");
        EXPECT_EQ(namesIn(dir.path()), "<part> <part> old.wav ");
        EXPECT_EQ(
            modeOf(fresh.path()), 0666 & ~[] {
                const mode_t mask = ::umask(0);
                ::umask(mask);
                return mask;
            }());
        EXPECT_TRUE(fresh.commit(dir.file("new.wav")));
        EXPECT_TRUE(replacing.commit(dir.file("old.wav")));
        EXPECT_FALSE(replacing.commit(dir.file("again.wav"))) << "committed once";
    }
    EXPECT_EQ(dir.read("new.wav"), "new");
    EXPECT_EQ(dir.read("old.wav"), "replaced");
    EXPECT_EQ(modeOf(dir.file("old.wav")), 0640u) << "the replaced file's permissions";
    EXPECT_EQ(namesIn(dir.path()), "new.wav old.wav ");
}

TEST(PartFile, AnUncommittedPartIsDeletedAndLeavesTheFinalFileAlone) {
    test::TempDir dir;
    dir.write("kept.wav", "kept");
    {
        PartFile dropped(dir.path(), ".wav");
        writeText(dropped, "partial");
        PartFile discarded(dir.path(), ".pcm");
        discarded.discard();
        EXPECT_FALSE(discarded.commit(dir.file("kept.wav")));
        PartFile failing(dir.path(), ".wav");
        EXPECT_FALSE(failing.commit(dir.file("no-such-folder/x.wav")));
    }
    EXPECT_EQ(namesIn(dir.path()), "kept.wav ");
    EXPECT_EQ(dir.read("kept.wav"), "kept");
    EXPECT_FALSE(PartFile(dir.file("no-such-folder"), ".wav").isOpen());
}

// A part file of a program that was killed is removed; one whose writer is still at work, and
// anything that only looks like a part file, is not.
TEST(PartFile, LeftoversOfKilledProgramsAreRemoved) {
    test::TempDir dir;
    test::exitCodeOf(test::spawn([&] {
        PartFile part(dir.path(), ".wav");
        return ::raise(SIGKILL);
    }));
    PartFile working(dir.path(), ".wav");
    writeText(working, "still writing");
    dir.write("track.wav", "finished");
    fs::create_directory(dir.file(std::string(kPartFilePrefix) + "folder"));
    fs::create_symlink(dir.file("track.wav"), dir.file(std::string(kPartFilePrefix) + "link"));
    ASSERT_EQ(::mkfifo(dir.file(std::string(kPartFilePrefix) + "fifo").c_str(), 0600), 0);
    ASSERT_EQ(namesIn(dir.path()), "<part> <part> <part> <part> <part> track.wav ");

    removeLeftoverParts(dir.path());
    EXPECT_TRUE(fs::exists(working.path()));
    EXPECT_TRUE(fs::is_directory(dir.file(std::string(kPartFilePrefix) + "folder")));
    EXPECT_TRUE(fs::is_symlink(dir.file(std::string(kPartFilePrefix) + "link")));
    EXPECT_TRUE(fs::is_fifo(dir.file(std::string(kPartFilePrefix) + "fifo")));
    EXPECT_EQ(dir.read("track.wav"), "finished");
    EXPECT_EQ(namesIn(dir.path()), "<part> <part> <part> <part> track.wav ");
}

TEST(PartFile, FolderOfAPath) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"/music/a/b.wav", "/music/a/"}, {"b.wav", ""}, {"a/b", "a/"}, {"/b", "/"}};
    for (const auto& [path, folder] : cases) EXPECT_EQ(folderOf(path), folder) << path;
}

}  // namespace
}  // namespace lumbra::platform
