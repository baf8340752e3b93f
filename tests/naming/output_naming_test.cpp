#include "naming/output_naming.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/native_path.h"
#include "settings/encoder_settings.h"
#include "support/temp_dir.h"

namespace lumbra {
namespace {

namespace fs = std::filesystem;

// Runs the test's body with the current folder changed, and changes it back.
class InFolder {
public:
    explicit InFolder(const fs::path& folder) : previous_(fs::current_path()) {
        fs::current_path(folder);
    }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;
    ~InFolder() { fs::current_path(previous_); }

private:
    fs::path previous_;
};

bool isInside(const fs::path& path, const fs::path& folder) {
    const fs::path relative = fs::weakly_canonical(path).lexically_relative(fs::canonical(folder));
    return !relative.empty() && *relative.begin() != "..";
}

// The files a rip would write for `name`, made the way the rip job makes them.
std::string createTrackFile(const OutputFolder& folder, std::string name) {
    if (folder.prepareOutputPath(name, nullptr) != 1) return {};
    const std::string path = folder.nativePath(name) + ".wav";
    std::ofstream(path) << "audio";
    return path;
}

TEST(NamingOutputPath, TheChosenFolderIsUsedAsTyped) {
    test::TempDir dir;
    for (const std::string typed : {"Music: Rock?", "v1.", "trailing ", "back\\slash", "a*b/c|d"}) {
        const OutputFolder folder(dir.file(typed));
        ASSERT_EQ(folder.prepare(nullptr), 1) << typed;
        EXPECT_TRUE(fs::is_directory(dir.file(typed))) << typed;
        EXPECT_EQ(folder.nativePath("A\\B"), dir.file(typed) + "/A/B") << typed;
    }
    EXPECT_EQ(OutputFolder(dir.path() + "/").nativePath("B"), dir.file("B"));
    EXPECT_EQ(OutputFolder("").nativePath("A\\B"), "A/B") << "the current folder";
}

TEST(NamingOutputPath, NothingFromTheValuesLeavesTheFolder) {
    test::TempDir sandbox;
    fs::create_directories(sandbox.file("work/out"));
    const InFolder current(sandbox.file("work"));
    const std::string outside = platform::toBackslashPath(sandbox.file("escaped"));
    const std::string names[] = {
        outside,
        "..\\..\\escaped",
        "..\\..\\..\\..\\..\\..\\tmp\\escaped",
        "\\" + outside,
        "/tmp/escaped",
        ".\\..\\escaped",
        "..",
        "\\",
        "A\\..\\..\\escaped",
        "a\x1b]0;x\x07b",
    };
    const std::string folders[] = {"", ".", "./", "out", sandbox.file("work/out")};
    for (const std::string& folderText : folders) {
        const OutputFolder folder(folderText);
        ASSERT_EQ(folder.prepare(nullptr), 1) << folderText;
        const fs::path expected = folderText.empty() ? fs::path(".") : fs::path(folderText);
        for (const std::string& name : names) {
            const std::string path = createTrackFile(folder, name);
            EXPECT_TRUE(isInside(path, expected)) << folderText << " + " << name << " = " << path;
            EXPECT_EQ(path.find_first_of("\x1b\x07"), std::string::npos) << path;
        }
    }
    EXPECT_FALSE(fs::exists(sandbox.file("escaped")));
    EXPECT_FALSE(fs::exists(sandbox.file("escaped.wav")));
}

TEST(NamingOutputPath, AFileWhereAFolderMustGoStopsWithTheMessage) {
    test::TempDir dir;
    dir.write("周杰伦", "");
    const OutputFolder folder(dir.path());
    std::string name = "周杰伦 \\ 叶惠美 \\ 晴天?";
    std::string message;
    EXPECT_EQ(folder.prepareOutputPath(name, &message), 0);
    EXPECT_EQ(message, "无法创建文件夹 \"" + dir.file("周杰伦") + "\"：Not a directory\n" +
                           "请检查文件是否已经存在并将它重命名，不要在全局设置 > "
                           "输出格式中使用 \"同名时覆盖音轨\" 选项")
        << "the folder in the way and the reason, not the file that was to be written";
    EXPECT_EQ(OutputFolder(dir.file("周杰伦/x")).prepare(&message), 0) << "a file on the way";
    EXPECT_EQ(message.rfind("无法创建文件夹 \"" + dir.file("周杰伦") + "\"：", 0), 0u) << message;
}

TEST(NamingOutputPath, CreatesTheFoldersWithLongNamesCutAtACharacterBoundary) {
    test::TempDir dir;
    std::string longName;
    for (int i = 0; i < 100; ++i) longName += "中";  // 300 bytes
    const OutputFolder folder(dir.path());
    std::string name = longName + "\\" + longName;
    ASSERT_EQ(folder.prepareOutputPath(name, nullptr), 1);
    // 85 characters fill 255 bytes exactly; the file name stops at 83, as an 84th would pass 250.
    EXPECT_EQ(name, longName.substr(0, 255) + "\\" + longName.substr(0, 249));
    std::string again = name;
    EXPECT_EQ(folder.prepareOutputPath(again, nullptr), 1) << "the folder exists already";
    EXPECT_FALSE(fs::exists(folder.nativePath(name))) << "the file's name became a folder";
    EXPECT_TRUE(std::ofstream(folder.nativePath(name) + ".wma"));
}

}  // namespace
}  // namespace lumbra
