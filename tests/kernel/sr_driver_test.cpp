// The SG_IO back end end to end over the preloaded stand-in for the kernel's sr driver: drives on
// high host numbers, transfer limits, bounce pages, the command filter of a normal user, locked
// doors, resets, time-outs and nodes that cannot be opened, each switched on in turn.
#include <dlfcn.h>
#include <fcntl.h>
#include <scsi/sg.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "cdaccess/audio_reads.h"
#include "cdaccess/cd_access_errors.h"
#include "cdaccess/last_error.h"
#include "cdaccess/mmc_commands.h"
#include "cdaccess/scsi_command.h"
#include "cdaccess/scsi_request.h"
#include "cdaccess/slot_access.h"
#include "cdaccess/tray.h"
#include "kernel/stand_in_restart.h"
#include "rip/track_status.h"
#include "support/cue_image.h"
#include "support/rip_harness.h"

extern char** environ;

namespace lumbra {
namespace {

class SrDriver : public test::RipHarness {
protected:
    test::CueImage image;

    void SetUp() override {
        RipHarness::SetUp();
        configure_ = test::srConfigureFunction();
        ASSERT_NE(configure_, nullptr) << "run with LD_PRELOAD=" LUMBRA_SR_STAND_IN;
        image = test::writeCueImage(dir.path(), "album", {1000, 27, 1500});
    }

    // Starts CD access over the SG_IO back end, with one drive per disc behind the stand-in.
    void startDrives(const std::string& discs, const std::string& faults,
                     const std::string& rules) {
        shutdownCdAccess();
        configure_(discs.c_str(), faults.c_str(), rules.c_str());
        unsetenv("LUMBRA_ASPI_LIBRARY");
        ASSERT_TRUE(initCdAccess());
        drives.clear();
        buildDriveList(drives);
    }

    void startAlbum(const std::string& faults, const std::string& rules) {
        startDrives(image.cuePath, faults, rules);
        ASSERT_EQ(drives.size(), 1u) << rules;
    }

    bool refresh() { return refreshDisc(prompts, drives, 0, tracks, settings, true) == 0; }

    void expectBitExactRip() {
        ASSERT_TRUE(refresh());
        rip({0, 1, 2}, kFormatWav);
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(tracks[i].status, kTrackDone) << "track " << i;
            EXPECT_TRUE(fileText(outputFile(int(i), ".wav")).substr(44) ==
                        std::string(image.trackAudio[i].begin(), image.trackAudio[i].end()))
                << "track " << i;
        }
    }

    int openDrive(uint8_t readMethod = 0) {
        OpenDriveRequest request = drives.at(0).openRequest;
        request.readMethod = readMethod;
        return getCDHandle(&request);
    }

    // Reads 26 frames of track 1 with the method: its result.
    int readWith(uint8_t readMethod) {
        const int handle = openDrive(readMethod);
        EXPECT_GE(handle, 1);
        TrackBuffer buffer = TrackBuffer::forFrames(26);
        buffer.setRequest(100, 26);
        const int result = readAudioFrames(handle, buffer);
        releaseCDHandle(handle);
        return result;
    }

private:
    test::SrConfigureFunction configure_ = nullptr;
};

TEST_F(SrDriver, RipsBitExactUnderEveryKernelRule) {
    const struct {
        const char* rules;
        const char* faults;
    } cases[] = {
        {"", ""},
        {"host=6", ""},
        {"maxkb=32", ""},
        {"user", ""},
        {"user", "reject=2/1"},
        {"reset", ""},
        {"recovered", ""},
        {"spinup=20", ""},
        {"", "cddaonly"},
        {"maxkb=32", "untouched=2"},
        {"host=9,maxkb=32,user,reset,recovered,spinup=20", "reject=2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.rules) + " / " + c.faults);
        startAlbum(c.faults, c.rules);
        expectBitExactRip();
    }
}

// The kernel numbers a host per SATA port and USB drives after them; a drive on host 6 is
// adapter 0 to the scan.
TEST_F(SrDriver, ListsDrivesOnHighHostNumbers) {
    startDrives("demo;" + image.cuePath, "", "host=6");
    ASSERT_EQ(drives.size(), 2u);
    EXPECT_NE(drives[0].description.find("(0:0:0)"), std::string::npos) << drives[0].description;
    EXPECT_NE(drives[1].description.find("(1:0:0)"), std::string::npos) << drives[1].description;
    EXPECT_EQ(drives[0].letter, "/dev/sr0");
    EXPECT_EQ(drives[1].letter, "/dev/sr1");
    EXPECT_EQ(drives[1].openRequest.adapter, 1);
}

// Through zeroed bounce pages a drive that sends nothing would pass for silence; the back end's
// aligned buffers keep the fill, so detection sees the untouched read and takes the next method.
TEST_F(SrDriver, DetectionSeesAnUntouchedReadThatBouncePagesWouldHide) {
    startAlbum("untouched=2", "");
    const int handle = openDrive();
    TrackBuffer buffer = TrackBuffer::forFrames(26);
    buffer.setRequest(100, 26);
    EXPECT_EQ(readAudioFrames(handle, buffer), kResultDone);
    EXPECT_EQ(slotOfHandle(handle)->readMethod, 1);
    releaseCDHandle(handle);
    shutdownCdAccess();

    // What the kernel does to a misaligned buffer: the fill is gone, zeros came back.
    const int fd = open("/dev/sr0", O_RDONLY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    std::vector<uint8_t> memory(2352 + 1, 0xAA);
    const mmc::Cdb read = mmc::readCd(100, 1, kReadCdAnySector, kReadCdAllHeaders);
    sg_io_hdr_t header{};
    header.interface_id = 'S';
    header.dxfer_direction = SG_DXFER_FROM_DEV;
    header.cmd_len = read.length;
    header.cmdp = const_cast<uint8_t*>(read.bytes.data());
    header.dxfer_len = 2352;
    header.dxferp = memory.data() + 1;
    header.timeout = 60000;
    ASSERT_EQ(ioctl(fd, SG_IO, &header), 0);
    EXPECT_EQ(header.status, 0);
    EXPECT_EQ(memory[1], 0);
    EXPECT_EQ(memory[2352], 0);
    close(fd);
}

TEST_F(SrDriver, LeavesTheVendorReadsToRootAndMustSelectOnAWritableNode) {
    const struct {
        const char* rules;
        uint8_t method;
        int result;
    } cases[] = {
        {"", 5, kResultDone},
        {"", 6, kResultDone},
        {"", 7, kResultDone},
        {"user", 5, kResultFailed},
        {"user", 6, kResultFailed},
        {"user", 7, kResultFailed},
        {"user", 3, kResultDone},
        {"user", 1, kResultDone},
        {"user,access=ro", 3, kResultFailed},
        {"user,access=ro", 1, kResultDone},
    };
    for (const auto& c : cases) {
        startAlbum("", c.rules);
        EXPECT_EQ(readWith(c.method), c.result) << c.rules << ", method " << int(c.method);
    }
}

TEST_F(SrDriver, FailsReadsThatClaimMoreThanArrived) {
    startAlbum("", "short");
    EXPECT_EQ(readWith(1), kResultFailed);
    EXPECT_EQ(takeLastError(), kErrorCommandFailed);
}

TEST_F(SrDriver, EjectsATrayTheDesktopLockedAndSaysWhyWhenItStaysLocked) {
    startAlbum("", "locked");
    int handle = openDrive();
    EXPECT_EQ(executeOnHandle(handle, CommandBlock(mmc::startStopUnit(true, false), 0)),
              kResultFailed)
        << "the door is locked";
    EXPECT_EQ(lastSense()[12], 0x53);
    EXPECT_EQ(moveTray(handle, true), kResultDone);
    EXPECT_EQ(trayRefusalText(), "");
    releaseCDHandle(handle);
    EXPECT_FALSE(refresh()) << "the tray is open";
    handle = openDrive();
    EXPECT_EQ(moveTray(handle, false), kResultDone);
    releaseCDHandle(handle);
    EXPECT_TRUE(refresh());

    startAlbum("", "lockheld");
    handle = openDrive();
    EXPECT_EQ(moveTray(handle, true), kResultFailed);
    EXPECT_NE(trayRefusalText().find("锁定"), std::string::npos) << trayRefusalText();
    releaseCDHandle(handle);
    EXPECT_TRUE(refresh()) << "the disc is still in";
}

// A command that outlasts its time-out gets the port reset and, with a drive still silent, the
// device taken offline for good: what the long time-outs of reads are there to avoid.
TEST_F(SrDriver, ADeviceThatTimedOutIsGone) {
    startAlbum("", "spinup=90");
    EXPECT_FALSE(refresh());
    EXPECT_FALSE(refresh());
    EXPECT_EQ(open("/dev/sr0", O_RDONLY | O_NONBLOCK), -1);
    EXPECT_EQ(errno, ENXIO);
}

TEST_F(SrDriver, NamesTheNodeThatCannotBeOpenedAndWhy) {
    startAlbum("", "access=ro");
    EXPECT_TRUE(driveOpenProblems().empty()) << "read-only is enough to list it";

    startDrives(image.cuePath, "", "access=none");
    EXPECT_TRUE(drives.empty());
    const auto problems = driveOpenProblems();
    ASSERT_EQ(problems.size(), 1u);
    for (const char* part : {"/dev/sr0", "Permission denied", "cdrom"}) {
        EXPECT_NE(problems[0].find(part), std::string::npos) << problems[0];
    }
    EXPECT_FALSE(refresh());
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "无法找到任何 CD-ROM 驱动器\n" + problems[0])
        << "the message box names the device too";
}

TEST_F(SrDriver, TheCommandLineSaysWhichDriveItCannotOpen) {
    const std::string errors = dir.file("errors.txt");
    std::vector<std::string> environment{"LUMBRA_SR_RULES=access=none",
                                         "LUMBRA_VIRTUAL_DISCS=" + image.cuePath};
    for (char** e = environ; *e; ++e) {
        const std::string_view variable(*e);
        if (!variable.starts_with("LUMBRA_SR_RULES=") &&
            !variable.starts_with("LUMBRA_VIRTUAL_DISCS=")) {
            environment.emplace_back(variable);
        }
    }
    std::vector<char*> envp;
    for (auto& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string program = LUMBRA_RIP_PROGRAM, home = "--home", homeDir = dir.path(),
                list = "--list";
    char* argv[] = {program.data(), home.data(), homeDir.data(), list.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    const std::string text = fileText(errors);
    EXPECT_NE(text.find("无法打开光驱设备 /dev/sr0：Permission denied"), std::string::npos) << text;
    EXPECT_EQ(text.find("无法打开光驱设备"), text.rfind("无法打开光驱设备")) << "said once";
}

}  // namespace
}  // namespace lumbra

int main(int argc, char** argv) {
    lumbra::test::restartWithStandIn(argv, LUMBRA_SR_STAND_IN);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
