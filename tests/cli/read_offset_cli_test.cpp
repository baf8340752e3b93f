// lumbra-rip's read offset: found from the demo disc in a drive that reads 667 samples early,
// stored for the drive's model, and then corrected by every rip with that drive.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "cli/lumbra_rip_runner.h"
#include "support/accuraterip_test_server.h"

namespace lumbra {
namespace {

class LumbraRipReadOffset : public test::LumbraRip {
protected:
    test::AccurateRipTestServer server;

    LumbraRipReadOffset() {
        accurateRip = true;
        home.write("setup.ini",
                   "[CDDB]\nCDDB_AUTO=0\n[ACCURATERIP]\nAR_SERVER=127.0.0.1\nAR_PORT=" +
                       std::to_string(server.port()) + "\n");
    }
    ~LumbraRipReadOffset() override { unsetenv("LUMBRA_VIRTUAL_FAULTS"); }

    // The database's pressing of the demo disc, from the checksums of a rip by an exact drive.
    void serveDemoDisc() {
        server.setReply(test::httpReply(404, ""));
        const auto run = rip("--demo --tracks 1-3 --format wav --out " + home.file("exact"));
        ASSERT_EQ(run.exitCode, 0) << run.err;
        AccurateRipPressing pressing{{4, 0x4f1a, 0x143bc, 0x23007d05}, {}};
        const std::regex line("TRACK \\d accuraterip v1 ([0-9a-f]{8}) ");
        for (std::sregex_iterator it(run.out.begin(), run.out.end(), line), end; it != end; ++it) {
            pressing.tracks.push_back({9, uint32_t(std::stoul((*it)[1], nullptr, 16)), 0});
        }
        pressing.tracks.push_back({9, 1, 0});  // the fourth audio track is not read
        ASSERT_EQ(pressing.tracks.size(), 4u);
        server.setReply(test::httpReply(200, test::accurateRipBody({pressing})));
    }
};

TEST_F(LumbraRipReadOffset, FoundOffsetIsStoredAndCorrectsLaterRips) {
    serveDemoDisc();
    setenv("LUMBRA_VIRTUAL_FAULTS", "offset=667", 1);
    const auto uncorrected = rip("--demo --tracks 2 --format wav --out " + home.file("a"));
    EXPECT_NE(uncorrected.out.find(" mismatch\n"), std::string::npos) << uncorrected.out;

    const auto found = rip("--demo --find-offset --yes");
    ASSERT_EQ(found.exitCode, 0) << found.err;
    EXPECT_TRUE(found.out.starts_with("OFFSET +667 tracks 2 confidence 9\n")) << found.out;
    EXPECT_NE(found.out.find("stored read offset +667 for LUMBRA VIRTUAL CD-ROM 1.0"),
              std::string::npos)
        << found.out;
    EXPECT_NE(home.read("setup.ini").find("[READ_OFFSET]\nLUMBRA VIRTUAL CD-ROM 1.0=667"),
              std::string::npos);

    const auto corrected = rip("--demo --tracks 2 --format wav --out " + home.file("b"));
    EXPECT_NE(corrected.out.find(" accurate 9\n"), std::string::npos) << corrected.out;
    const auto overridden =
        rip("--demo --tracks 2 --format wav --read-offset -5 --out " + home.file("c"));
    EXPECT_NE(overridden.out.find(" mismatch\n"), std::string::npos) << overridden.out;
}

TEST_F(LumbraRipReadOffset, FindingSaysWhyThereIsNoOffset) {
    server.setReply(test::httpReply(404, ""));
    const auto absent = rip("--demo --find-offset --yes");
    EXPECT_EQ(absent.exitCode, 1);
    EXPECT_NE(absent.err.find("不在 AccurateRip 数据库中"), std::string::npos) << absent.err;

    server.setReply(test::httpReply(
        200, test::accurateRipBody({{{4, 0x4f1a, 0x143bc, 0x23007d05},
                                     {{3, 1, 0}, {3, 2, 0}, {3, 3, 0}, {3, 4, 0}}}})));
    const auto none = rip("--demo --find-offset --yes");
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.err.find("没有找到与 AccurateRip 数据库相符的读取偏移"), std::string::npos)
        << none.err;
    EXPECT_EQ(home.read("setup.ini").find("READ_OFFSET"), std::string::npos);
}

TEST_F(LumbraRipReadOffset, TestAndCopyPrintsTheFirstReadsCrc) {
    server.setReply(test::httpReply(404, ""));
    const auto run =
        rip("--demo --tracks 1 --format wav --test-and-copy --out " + home.file("music"));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::regex line(
        "TRACK 1 accuraterip v1 [0-9a-f]{8} v2 [0-9a-f]{8} crc32 ([0-9a-f]{8}) "
        "test-crc32 ([0-9a-f]{8}) not-in-database\n");
    std::smatch match;
    ASSERT_TRUE(std::regex_search(run.out, match, line)) << run.out;
    EXPECT_EQ(match[1], match[2]);
}

}  // namespace
}  // namespace lumbra
