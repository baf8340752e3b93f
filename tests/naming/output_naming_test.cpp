#include "naming/output_naming.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/encoder_settings.h"
#include "support/temp_dir.h"

namespace lumbra {
namespace {

namespace fs = std::filesystem;

TEST(NamingOutputPath, BasesAreFoldersInBackslashForm) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"", ""},
        {".", ""},
        {"./音乐", "音乐\\"},
        {"/", "\\"},
        {"/home/u/Music/", "\\home\\u\\Music\\"},
    };
    for (const auto& [folder, base] : cases) EXPECT_EQ(outputPathBase(folder), base) << folder;
    EXPECT_TRUE(outputPathBase("../x").starts_with('\\'));
}

TEST(NamingOutputPath, AFileWhereAFolderMustGoStopsWithTheMessage) {
    test::TempDir dir;
    dir.write("周杰伦", "");
    std::string path = outputPathBase(dir.path()) + "周杰伦 \\ 叶惠美 \\ 晴天?";
    std::string message;
    EXPECT_EQ(prepareOutputPath(path, &message), 0);
    EXPECT_EQ(message, "无法创建文件夹 \"" + dir.file("周杰伦/叶惠美/晴天_") +
                           "\"\n请检查文件是否已经存在并将它重命名\\不要在全局设置 > "
                           "输出格式中使用 \"同名时覆盖音轨\" 选项");
    EXPECT_EQ(prepareOutputPath(path, nullptr), 0);
}

TEST(NamingOutputPath, AnEmptyOutputFolderMeansTheCurrentFolder) {
    test::TempDir dir;
    const fs::path previous = fs::current_path();
    fs::current_path(dir.path());
    std::string path = outputPathBase("") + ".\\A\\B";  // an artist called "."
    const int prepared = prepareOutputPath(path, nullptr);
    fs::current_path(previous);

    EXPECT_EQ(prepared, 1);
    EXPECT_EQ(path, "A\\B");
    EXPECT_TRUE(fs::is_directory(dir.file("A")));
}

TEST(NamingOutputPath, CreatesTheFoldersWithLongNamesCutAtACharacterBoundary) {
    test::TempDir dir;
    std::string longName;
    for (int i = 0; i < 100; ++i) longName += "中";  // 300 bytes
    const std::string base = outputPathBase(dir.path());
    std::string path = base + longName + "\\" + longName;
    ASSERT_EQ(prepareOutputPath(path, nullptr), 1);
    // 85 characters fill 255 bytes exactly; the file name stops at 83, as an 84th would pass 251.
    EXPECT_EQ(path, base + longName.substr(0, 255) + "\\" + longName.substr(0, 249));
    std::string again = path;
    EXPECT_EQ(prepareOutputPath(again, nullptr), 1) << "the folder exists already";
    EXPECT_FALSE(fs::exists(nativeOutputPath(path))) << "the file's name became a folder";
    EXPECT_TRUE(std::ofstream(nativeOutputPath(path) + std::string(extensionFor(kFormatWma))));
}

}  // namespace
}  // namespace lumbra
