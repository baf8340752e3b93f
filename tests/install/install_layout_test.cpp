// Where a program finds its modules and data, for executables in a build folder, a portable
// folder and an installed tree.
#include "platform/install_layout.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "platform/program_home.h"
#include "support/temp_dir.h"

namespace lumbra::platform {
namespace {

namespace fs = std::filesystem;

struct LayoutCase {
    const char* name;
    std::vector<std::string> folders;  // made below the temporary root
    std::vector<std::string> files;
    const char* bin;  // the executable's folder, below the root
    bool installed;
    std::string modules;  // expected, below the root
    std::string data;
};

TEST(InstallLayout, FindsModulesAndDataRelativeToTheExecutable) {
    const std::string moduleDir = LUMBRA_INSTALL_MODULEDIR;
    const std::string dataDir = LUMBRA_INSTALL_DATADIR;
    const std::vector<LayoutCase> cases = {
        {"build folder", {"build/bin"}, {}, "build/bin", false, "build/bin", "build/bin"},
        {"installed",
         {"usr/bin", "usr/" + moduleDir},
         {},
         "usr/bin",
         true,
         "usr/" + moduleDir,
         "usr/" + dataDir},
        {"staged below a folder with dots",
         {"st.age/usr/bin", "st.age/usr/" + moduleDir},
         {},
         "st.age/usr/bin",
         true,
         "st.age/usr/" + moduleDir,
         "st.age/usr/" + dataDir},
        {"a file where the private folder would be",
         {"usr/bin", fs::path("usr/" + moduleDir).parent_path().string()},
         {"usr/" + moduleDir},
         "usr/bin",
         false,
         "usr/bin",
         "usr/bin"},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir root;
        for (const std::string& folder : c.folders) fs::create_directories(root.file(folder));
        for (const std::string& file : c.files) root.write(file, "");
        const InstallLayout layout = installLayoutFor(root.file(c.bin));
        EXPECT_EQ(layout.installed, c.installed);
        EXPECT_EQ(layout.moduleFolder, root.file(c.modules));
        EXPECT_EQ(layout.dataFolder, root.file(c.data));
    }
}

TEST(InstallLayout, ABuildFolderProgramLoadsModulesFromItsOwnFolder) {
    EXPECT_FALSE(installLayout().installed);
    EXPECT_EQ(modulePath("liblame_enc.so"), executableFolder() + "/liblame_enc.so");
}

}  // namespace
}  // namespace lumbra::platform
