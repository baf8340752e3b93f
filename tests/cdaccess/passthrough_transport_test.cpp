// The pass-through back end over a fake system: probing the letters, answering requests without
// the device, splitting reads at the device's limit, and meeting device failures, resets, medium
// changes, short transfers and lost descriptors.
#include "cdaccess/passthrough_transport.h"

#include "cdaccess/mmc_commands.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <deque>
#include <map>
#include <span>
#include <vector>

namespace lumbra {
namespace {

struct FakeDrive {
    ScsiAddress address;
    bool opens = true;
    bool readOnly = false;  // refuses read-write opens
    bool answersInquiry = true;
    bool knowsAddress = true;
    uint32_t maxTransfer = 0;
    std::deque<PassThroughResult> replies;  // for commands other than INQUIRY; then GOOD
};

struct SeenCommand {
    int fd;
    TransferDirection direction;
    unsigned timeoutSeconds;
    std::vector<uint8_t> cdb;
    uint32_t length;
};

std::array<uint8_t, 36> inquiryOf(int letter) {
    std::array<uint8_t, 36> data{};
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(letter * 40 + i);
    return data;
}

// Drives at chosen letters, a letter's path being its number. Closing a descriptor that is not
// open fails the test, so one closed twice or closed after it was lost shows up by itself.
class FakeDeviceIo final : public DeviceIo {
public:
    std::map<int, FakeDrive> drives;
    std::map<int, int> openFds;  // fd -> letter
    std::vector<SeenCommand> commands;
    int inquiries = 0;
    int nextFd = 10;  // one more with every open

    std::string devicePath(int letter) const override {
        return letter >= 2 ? std::to_string(letter) : "";
    }
    bool isCdRom(const std::string& path) const override {
        return drives.contains(std::stoi(path));
    }
    int open(const std::string& path, bool readWrite) override {
        const FakeDrive& drive = drives.at(std::stoi(path));
        if (!drive.opens || (readWrite && drive.readOnly)) {
            errno = EACCES;
            return -1;
        }
        openFds[nextFd] = std::stoi(path);
        return nextFd++;
    }
    void close(int fd) override {
        EXPECT_EQ(openFds.erase(fd), 1u) << "closed a descriptor not open: " << fd;
    }
    PassThroughResult execute(int fd, const uint8_t* cdb, uint8_t cdbLength,
                              TransferDirection direction, uint8_t* buffer, uint32_t length,
                              unsigned timeout) override {
        if (!openFds.contains(fd)) return {.systemError = EBADF};
        FakeDrive& drive = drives.at(openFds[fd]);
        if (cdb[0] == 0x12) {
            ++inquiries;
            if (!drive.answersInquiry) return {.systemError = EIO};
            const auto data = inquiryOf(openFds[fd]);
            std::memcpy(buffer, data.data(), std::min<uint32_t>(length, data.size()));
            return {};
        }
        commands.push_back({fd, direction, timeout, {cdb, cdb + cdbLength}, length});
        if (buffer != nullptr) std::memset(buffer, 0x5A, length);
        if (drive.replies.empty()) return {};
        const PassThroughResult reply = drive.replies.front();
        drive.replies.pop_front();
        return reply;
    }
    bool address(int fd, ScsiAddress& out) override {
        const FakeDrive& drive = drives.at(openFds.at(fd));
        if (drive.knowsAddress) out = drive.address;
        return drive.knowsAddress;
    }
    uint32_t maxTransferLength(int fd) override { return drives.at(openFds.at(fd)).maxTransfer; }
};

PassThroughResult checkCondition(uint8_t key, uint8_t asc) {
    PassThroughResult result{.scsiStatus = 0x02, .senseLength = 18};
    result.sense[0] = 0x70;
    result.sense[2] = key;
    result.sense[7] = 10;
    result.sense[12] = asc;
    result.sense[13] = 0x01;
    result.sense[17] = 0xEE;  // beyond the 14 bytes a caller asks for
    return result;
}

// Runs a command with this buffer at the drive on port 0, target 1.
ScsiRequest sendTo(PassThroughTransport& transport, const mmc::Cdb& cdb, std::span<uint8_t> buffer,
                   uint8_t flags = kFlagDataIn) {
    ScsiRequest request{};
    request.header.command = kRequestExecute;
    request.header.flags = flags;
    request.target = 1;
    request.bufferLength = uint32_t(buffer.size());
    request.buffer = buffer.data();
    request.senseLength = kSenseLength;
    request.cdbLength = cdb.length;
    std::copy_n(cdb.bytes.begin(), sizeof(request.cdb), request.cdb);
    EXPECT_EQ(transport.sendScsiRequest(&request), request.header.status);
    return request;
}

mmc::Cdb rawCdb(uint8_t opcode, uint8_t length) {
    mmc::Cdb cdb;
    cdb.bytes[0] = opcode;
    cdb.length = length;
    return cdb;
}

class PassThroughTransportTest : public ::testing::Test {
protected:
    std::unique_ptr<FakeDeviceIo> io = std::make_unique<FakeDeviceIo>();
    FakeDeviceIo& system = *io;
    uint8_t buffer[64]{};
    PassThroughTransport transport{std::move(io)};

    // A drive at letter 2 on port 0, target 1, probed.
    void startWithOneDrive() {
        system.drives[2].address = {.port = 0, .target = 1};
        transport.initialise();
    }
    // Runs one command with a 64-byte buffer at the drive on port 0, target 1.
    ScsiRequest run(uint8_t opcode, uint8_t flags = kFlagDataIn, uint8_t cdbLength = 10) {
        return sendTo(transport, rawCdb(opcode, cdbLength), buffer, flags);
    }
};

TEST_F(PassThroughTransportTest, ProbesEveryLetterAndClosesWhatItOpened) {
    system.drives[2].address = {.port = 0, .target = 1};
    system.drives[4].address = {.port = 2, .target = 3};
    system.drives[5].address = {.port = 0, .target = 5};
    system.drives[5].readOnly = true;
    system.drives[6].opens = false;
    system.drives[7].answersInquiry = false;
    system.drives[8].knowsAddress = false;

    EXPECT_EQ(transport.queryAdapterCount(), 0xE800u);
    EXPECT_EQ(transport.initialise(), 3);
    EXPECT_TRUE(transport.isActive());
    EXPECT_EQ(transport.queryAdapterCount(), 0x0102u) << "ports 0 and 2";
    EXPECT_TRUE(system.openFds.empty());

    const SptiDriveRecord* drive = transport.findRecord(1, 3, 0);
    ASSERT_NE(drive, nullptr) << "port 2 is the second adapter";
    EXPECT_EQ(drive->letterIndex, 4);
    EXPECT_EQ(drive->deviceFd, -1);
    EXPECT_EQ(drive->inquiry, inquiryOf(4));
    EXPECT_NE(transport.findRecord(0, 5, 0), nullptr) << "read-only fallback";
    for (int letter : {6, 7, 8}) EXPECT_FALSE(transport.records()[letter].inUse) << letter;
    ASSERT_EQ(transport.openFailures().size(), 1u) << "only the drive that does not open";
    EXPECT_EQ(transport.openFailures()[0].path, "6");
    EXPECT_EQ(transport.openFailures()[0].error, EACCES);

    const int nextFd = system.nextFd;
    EXPECT_EQ(transport.initialise(), 0);
    EXPECT_EQ(system.nextFd, nextFd) << "probed only once";
}

// libata gives each port a host and USB drives come after them: hosts 6 and 9 are adapters 0
// and 1, and a scan that walks the adapters from 0 finds both.
TEST_F(PassThroughTransportTest, NumbersHostsDenselyAndAnswersAdapterInquiryAndDeviceType) {
    system.drives[3].address = {.port = 9, .target = 1};
    system.drives[4].address = {.port = 6, .target = 0};
    transport.initialise();
    EXPECT_EQ(transport.adapterCount(), 2);
    EXPECT_NE(transport.findRecord(0, 0, 0), nullptr);

    AdapterInquiryRequest inquiry{};
    inquiry.header.adapter = 1;
    EXPECT_EQ(transport.sendScsiRequest(&inquiry), kStatusDone);
    EXPECT_EQ(inquiry.adapterCount, 2);
    EXPECT_EQ(std::string(inquiry.adapterId, 16), "SCSI Adapter 1  ");
    const uint8_t limits[16] = {0, 0, 0, 8, 0x00, 0x00, 0x01, 0x00};  // 8 targets, 64 KiB
    EXPECT_EQ(std::memcmp(inquiry.adapterSpecific, limits, 16), 0);
    inquiry.header.adapter = 2;
    EXPECT_EQ(transport.sendScsiRequest(&inquiry), kStatusInvalidAdapter);

    DeviceTypeRequest type{};
    type.header = {kRequestDeviceType, 0, 1, 0, 0};
    type.target = 1;
    EXPECT_EQ(transport.sendScsiRequest(&type), kStatusDone);
    EXPECT_EQ(type.deviceType, kDeviceTypeCdRom);
    type.lun = 1;
    EXPECT_EQ(transport.sendScsiRequest(&type), kStatusNoDevice);
    EXPECT_EQ(type.deviceType, kDeviceTypeUnknown);
}

TEST_F(PassThroughTransportTest, AnswersInquiryFromTheCacheAndKeepsTheDeviceOpenUntilShutdown) {
    startWithOneDrive();
    std::memset(buffer, 0xCC, sizeof(buffer));
    EXPECT_EQ(run(0x12, kFlagDataIn, 6).header.status, kStatusDone);
    EXPECT_EQ(std::memcmp(buffer, inquiryOf(2).data(), 36), 0);
    EXPECT_EQ(buffer[36], 0xCC);
    EXPECT_TRUE(system.openFds.empty()) << "INQUIRY needs no device";

    transport.ensureDeviceOpen(0, 1, 0);
    EXPECT_EQ(run(0x43).header.status, kStatusDone);
    EXPECT_EQ(buffer[63], 0x5A);
    run(0x15, 0);  // no direction flag: MODE SELECT still sends its page
    run(0x2A, kFlagDataOut);
    run(0x43, 0);
    ASSERT_EQ(system.commands.size(), 4u);
    EXPECT_EQ(system.nextFd, 12) << "the probe's open and the one kept";
    EXPECT_EQ(system.commands[1].direction, TransferDirection::Out);
    EXPECT_EQ(system.commands[2].direction, TransferDirection::Out);
    EXPECT_EQ(system.commands[3].direction, TransferDirection::In);

    transport.closeAllDevices();
    EXPECT_TRUE(system.openFds.empty());
    EXPECT_EQ(transport.findRecord(0, 1, 0), nullptr);
    EXPECT_EQ(run(0x43).header.status, kStatusError);
}

TEST_F(PassThroughTransportTest, FailsANonGoodDeviceStatusAndKeepsItsSense) {
    system.drives[2].replies = {checkCondition(0x02, 0x3A),
                                PassThroughResult{.adapterStatus = 0x03},
                                PassThroughResult{.systemError = EIO}};
    startWithOneDrive();
    const ScsiRequest noDisc = run(0x43);
    EXPECT_EQ(noDisc.header.status, kStatusError);
    EXPECT_EQ(noDisc.targetStatus, 0x02);
    EXPECT_EQ(std::memcmp(noDisc.sense, checkCondition(0x02, 0x3A).sense.data(), 14), 0);
    EXPECT_EQ(noDisc.sense[14] | noDisc.sense[15], 0);

    const ScsiRequest timedOut = run(0x43);
    EXPECT_EQ(timedOut.header.status, kStatusError);
    EXPECT_EQ(timedOut.adapterStatus, 0x03);

    EXPECT_EQ(run(0x43).targetStatus, kStatusError);
    EXPECT_EQ(system.commands.size(), 3u) << "none of these is retried";
}

TEST_F(PassThroughTransportTest, RetriesAMediumChangeOnceOnAReopenedDevice) {
    system.drives[2].replies = {checkCondition(0x06, 0x28)};
    startWithOneDrive();
    EXPECT_EQ(run(0x43).header.status, kStatusDone);
    ASSERT_EQ(system.commands.size(), 2u);
    EXPECT_FALSE(system.openFds.contains(system.commands[0].fd));
    EXPECT_NE(system.commands[1].fd, system.commands[0].fd);
    EXPECT_EQ(system.inquiries, 2) << "probed again";

    system.drives[2].replies = {checkCondition(0x06, 0x28), checkCondition(0x06, 0x28)};
    const ScsiRequest twice = run(0x43);
    EXPECT_EQ(twice.header.status, kStatusError);
    EXPECT_EQ(twice.sense[2], 0x06);
    EXPECT_EQ(system.commands.size(), 4u);
}

TEST_F(PassThroughTransportTest, KeepsTheAdapterOfADriveThatComesBackOnAnotherHost) {
    system.drives[2].address = {.port = 6, .target = 1};
    system.drives[3].address = {.port = 7, .target = 0};
    transport.initialise();
    system.drives[2].address.port = 11;  // replugged
    system.drives[2].replies = {PassThroughResult{.systemError = ENODEV}};
    EXPECT_EQ(run(0x43).header.status, kStatusDone);
    EXPECT_EQ(system.inquiries, 3) << "probed again";
    EXPECT_NE(transport.findRecord(0, 1, 0), nullptr);
    EXPECT_NE(transport.findRecord(1, 0, 0), nullptr);
    EXPECT_EQ(transport.adapterCount(), 2);
}

TEST_F(PassThroughTransportTest, ReprobesAStaleHandleWithoutClosingIt) {
    startWithOneDrive();
    transport.ensureDeviceOpen(0, 1, 0);
    system.openFds.erase(transport.findRecord(0, 1, 0)->deviceFd);  // gone behind our back
    EXPECT_EQ(run(0x43).header.status, kStatusDone);
    EXPECT_EQ(system.inquiries, 2);

    system.drives[2].replies = {PassThroughResult{.systemError = ENODEV}};
    const int unplugged = transport.findRecord(0, 1, 0)->deviceFd;
    EXPECT_EQ(run(0x43).header.status, kStatusDone);
    EXPECT_FALSE(system.openFds.contains(unplugged)) << "a descriptor still ours is closed";
}

TEST_F(PassThroughTransportTest, SplitsAudioReadsAtTheDevicesLimit) {
    system.drives[2].maxTransfer = 32768;  // 13 frames
    startWithOneDrive();
    std::vector<uint8_t> frames(30 * 2352);
    const mmc::Cdb read = mmc::readCd(0x10000, 30, kReadCdAnySector, kReadCdUserData);
    EXPECT_EQ(sendTo(transport, read, frames).header.status, kStatusDone);
    ASSERT_EQ(system.commands.size(), 3u);
    const uint32_t expected[][2] = {{0x10000, 13}, {0x1000D, 13}, {0x1001A, 4}};
    for (size_t i = 0; i < 3; ++i) {
        const auto& cdb = system.commands[i].cdb;
        EXPECT_EQ(mmc::readBigEndian(std::span(cdb).subspan(2, 4)), expected[i][0]) << i;
        EXPECT_EQ(mmc::readBigEndian(std::span(cdb).subspan(6, 3)), expected[i][1]) << i;
        EXPECT_EQ(system.commands[i].length, expected[i][1] * 2352) << i;
        EXPECT_EQ(cdb[9], kReadCdUserData) << "the rest of the block is kept";
    }
    EXPECT_EQ(frames.front(), 0x5A);
    EXPECT_EQ(frames.back(), 0x5A) << "each piece lands in its part of the buffer";

    system.commands.clear();
    system.drives[2].replies = {PassThroughResult{}, checkCondition(0x03, 0x11)};
    const ScsiRequest failed = sendTo(transport, read, frames);
    EXPECT_EQ(failed.header.status, kStatusError);
    EXPECT_EQ(system.commands.size(), 2u) << "a failed piece ends the read";
    EXPECT_EQ(failed.sense[2], 0x03);
}

TEST_F(PassThroughTransportTest, JudgesTheDevicesAnswer) {
    PassThroughResult shortRead{};
    shortRead.residual = 2352;
    PassThroughResult recovered = checkCondition(0x01, 0x17);
    const struct {
        const char* name;
        PassThroughResult reply;
        uint8_t opcode;
        uint8_t status;
        size_t commands;
    } cases[] = {
        {"a read that lost bytes", shortRead, 0xBE, kStatusError, 1},
        {"a table of contents shorter than asked for", shortRead, 0x43, kStatusDone, 1},
        {"a recovered error", recovered, 0xBE, kStatusDone, 1},
        {"a reset is reported once", checkCondition(0x06, 0x29), 0x43, kStatusDone, 2},
    };
    for (const auto& c : cases) {
        auto io = std::make_unique<FakeDeviceIo>();
        FakeDeviceIo& fake = *io;
        fake.drives[2].address = {.port = 0, .target = 1};
        fake.drives[2].replies = {c.reply};
        PassThroughTransport local(std::move(io));
        local.initialise();
        const ScsiRequest request = sendTo(local, rawCdb(c.opcode, 12), buffer);
        EXPECT_EQ(request.header.status, c.status) << c.name;
        EXPECT_EQ(fake.commands.size(), c.commands) << c.name;
        EXPECT_EQ(fake.inquiries, 1) << c.name << ": no new probe";
        if (c.status == kStatusError) {
            EXPECT_EQ(request.adapterStatus, 0x12) << c.name;
        }
    }
}

TEST_F(PassThroughTransportTest, RefusesMalformedRequests) {
    startWithOneDrive();
    EXPECT_EQ(transport.sendScsiRequest(nullptr), kStatusError);
    ScsiRequestHeader unknown{9, 0, 0, 0, 0};
    EXPECT_EQ(transport.sendScsiRequest(&unknown), kStatusError);
    EXPECT_EQ(run(0x43, kFlagDataIn, 0).header.status, kStatusError);
    EXPECT_EQ(run(0x43, kFlagDataIn, 17).header.status, kStatusError);
    EXPECT_TRUE(system.commands.empty());

    EXPECT_EQ(PassThroughTransport(nullptr).initialise(), 0);
}

TEST(SystemDeviceIo, NamesSrNodesAndRefusesWhatIsNoDrive) {
    const auto io = makeSystemDeviceIo();
    if (!io) GTEST_SKIP() << "no pass-through on this platform";
    EXPECT_EQ(io->devicePath(1), "");
    EXPECT_EQ(io->devicePath(2), "/dev/sr0");
    EXPECT_EQ(io->devicePath(25), "/dev/sr23");
    EXPECT_FALSE(io->isCdRom("/dev/null"));
    EXPECT_FALSE(io->isCdRom("/nonexistent/sr0"));

    const int fd = io->open("/dev/null", false);
    const uint8_t testUnitReady[6] = {};
    EXPECT_EQ(io->execute(fd, testUnitReady, 6, TransferDirection::None, nullptr, 0, 5).systemError,
              ENOTTY);
    io->close(fd);
}

}  // namespace
}  // namespace lumbra
