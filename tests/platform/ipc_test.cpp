// Locks and shared memory are shared between processes, so these tests fork: a child
// stands for the second instance of the program.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/named_lock.h"
#include "platform/shared_memory.h"

namespace lumbra::platform {
namespace {

using namespace std::chrono_literals;

std::string uniqueName(const char* base) {
    return std::string(base) + "." + std::to_string(getpid()) + "." +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

// A child process that runs `body` and reports on a pipe when it has done so.
struct Child {
    pid_t pid = -1;
    int ready = -1;

    template <typename Body>
    static Child start(Body body) {
        int fds[2];
        if (pipe(fds) != 0) return {};
        const pid_t pid = fork();
        if (pid == 0) {
            close(fds[0]);
            body(fds[1]);
            _exit(0);
        }
        close(fds[1]);
        return {pid, fds[0]};
    }
    bool waitReady() const {
        char c;
        return read(ready, &c, 1) == 1;
    }
    int exitCode() const {
        int status = 0;
        waitpid(pid, &status, 0);
        close(ready);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

void announce(int fd) {
    const char c = 1;
    [[maybe_unused]] auto n = write(fd, &c, 1);
}

TEST(NamedLock, HeldByAnotherProcessIsNotGrantedUntilReleased) {
    const std::string name = uniqueName("held");
    int release[2];
    ASSERT_EQ(pipe(release), 0);
    Child child = Child::start([&](int ready) {
        auto lock = NamedLock::open(name);
        if (!lock || lock->lock() != LockResult::Acquired) _exit(2);
        announce(ready);
        char c;
        [[maybe_unused]] auto n = read(release[0], &c, 1);
        lock->unlock();
    });
    ASSERT_TRUE(child.waitReady());
    auto lock = NamedLock::open(name);
    ASSERT_TRUE(lock);
    EXPECT_EQ(lock->lockFor(100ms), LockResult::TimedOut);
    announce(release[1]);
    EXPECT_EQ(lock->lockFor(5s), LockResult::Acquired);
    lock->unlock();
    EXPECT_EQ(child.exitCode(), 0);
    SharedMemory::remove("lock." + name);
}

TEST(NamedLock, AnOwnerThatDiesLeavesTheLockUsable) {
    const std::string name = uniqueName("dead");
    Child child = Child::start([&](int ready) {
        auto lock = NamedLock::open(name);
        if (!lock || lock->lock() != LockResult::Acquired) _exit(2);
        announce(ready);
        _exit(0);  // dies holding it
    });
    ASSERT_TRUE(child.waitReady());
    EXPECT_EQ(child.exitCode(), 0);
    auto lock = NamedLock::open(name);
    ASSERT_TRUE(lock);
    ASSERT_EQ(lock->lockFor(1s), LockResult::Acquired);
    lock->unlock();
    EXPECT_EQ(lock->lockFor(0ms), LockResult::Acquired);  // and stays usable afterwards
    lock->unlock();
    SharedMemory::remove("lock." + name);
}

TEST(NamedLock, IsRecursiveForItsOwnerAndExclusiveForOthers) {
    const std::string name = uniqueName("recursive");
    auto lock = NamedLock::open(name);
    ASSERT_TRUE(lock);
    ASSERT_EQ(lock->lockFor(0ms), LockResult::Acquired);
    ASSERT_EQ(lock->lockFor(0ms), LockResult::Acquired);
    lock->unlock();
    LockResult other = LockResult::Failed;
    std::thread([&] { other = lock->lockFor(50ms); }).join();
    EXPECT_EQ(other, LockResult::TimedOut);  // still held once
    lock->unlock();
    std::thread([&] {
        other = lock->lockFor(50ms);
        if (other == LockResult::Acquired) lock->unlock();
    }).join();
    EXPECT_EQ(other, LockResult::Acquired);
    SharedMemory::remove("lock." + name);
}

TEST(SharedMemory, ASecondProcessSeesTheFirstOnesDataWithoutClearingIt) {
    const std::string name = uniqueName("state");
    auto memory = SharedMemory::open(name, 1804);
    ASSERT_TRUE(memory);
    EXPECT_TRUE(memory->createdNew());
    std::memcpy(memory->data(), "drive slots", 12);
    Child child = Child::start([&](int) {
        auto seen = SharedMemory::open(name, 1804);
        const bool ok = seen && !seen->createdNew() && std::memcmp(seen->data(), "drive slots", 12) == 0;
        if (ok) static_cast<char*>(seen->data())[1803] = 'x';
        _exit(ok ? 0 : 3);
    });
    EXPECT_EQ(child.exitCode(), 0);
    EXPECT_EQ(std::memcmp(memory->data(), "drive slots", 12), 0);
    EXPECT_EQ(static_cast<char*>(memory->data())[1803], 'x');
    SharedMemory::remove(name);
}

}  // namespace
}  // namespace lumbra::platform
