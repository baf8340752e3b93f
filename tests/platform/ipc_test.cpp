// Locks and shared memory are shared between processes, so these tests fork: a child
// stands for the second instance of the program.
#include <gtest/gtest.h>

#include <unistd.h>
#include <cstring>
#include <functional>
#include <thread>

#include "platform/named_lock.h"
#include "platform/named_lock_cell.h"
#include "platform/shared_memory.h"
#include "support/child_process.h"

namespace lumbra::platform {
namespace {

using namespace std::chrono_literals;

using test::exitCodeOf;
using test::Pipe;
using test::spawn;

class Ipc : public ::testing::Test {
protected:
    const std::string name = "ipc." + std::to_string(getpid()) + "." +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name();
    void TearDown() override {
        SharedMemory::remove(name);
        SharedMemory::remove("lock." + name);
    }
};

TEST_F(Ipc, ALockHeldByAnotherProcessIsFreeOnceItIsReleasedOrItsOwnerDies) {
    Pipe ready, release;
    const pid_t child = spawn([&] {
        auto lock = NamedLock::open(name);
        if (!lock || lock->lock() != LockResult::Acquired) return 2;
        ready.post();
        release.wait();
        lock->unlock();
        if (lock->lock() != LockResult::Acquired) return 3;
        ready.post();
        _exit(0);  // dies holding it
    });
    ASSERT_TRUE(ready.wait());
    auto lock = NamedLock::open(name);
    ASSERT_TRUE(lock);
    EXPECT_EQ(lock->lockFor(100ms), LockResult::TimedOut);
    release.post();
    ASSERT_EQ(lock->lockFor(5s), LockResult::Acquired);
    lock->unlock();
    ASSERT_TRUE(ready.wait());
    EXPECT_EQ(exitCodeOf(child), 0);
    ASSERT_EQ(lock->lockFor(1s), LockResult::Acquired);
    lock->unlock();
    EXPECT_EQ(lock->lockFor(0ms), LockResult::Acquired) << "and stays usable afterwards";
    lock->unlock();
}

// A process killed between creating a lock's memory and setting its mutex up leaves the cell
// "initialising"; only a live initialiser is waited for.
TEST_F(Ipc, ALockLeftHalfSetUpIsSetUpAgainUnlessItsInitialiserLives) {
    const auto markInitialising = [&](const ProcessIdentity& initialiser) {
        auto memory = SharedMemory::open("lock." + name, sizeof(NamedLockCell));
        static_cast<NamedLockCell*>(memory->data())->state = initialisingState(initialiser);
    };
    const ProcessIdentity self = currentProcess();
    const struct {
        const char* initialiser;
        std::function<void()> leave;
        bool recovered;
    } cases[] = {
        {"killed",
         [&] {
             EXPECT_EQ(exitCodeOf(spawn([&] {
                           markInitialising(currentProcess());
                           return 0;
                       })),
                       0);
         },
         true},
        {"its id reused",
         [&] {
             markInitialising({self.pid, self.startTime + 1});
         },
         true},
        {"alive", [&] { markInitialising(self); }, false},
    };
    for (const auto& c : cases) {
        c.leave();
        auto lock = NamedLock::open(name);
        EXPECT_EQ(bool(lock), c.recovered) << c.initialiser;
        if (lock) {
            EXPECT_EQ(lock->lockFor(0ms), LockResult::Acquired) << c.initialiser;
            lock->unlock();
        }
        SharedMemory::remove("lock." + name);
    }
}

TEST_F(Ipc, ALockIsRecursiveForItsOwnerAndExclusiveForOthers) {
    auto lock = NamedLock::open(name);
    ASSERT_TRUE(lock);
    ASSERT_EQ(lock->lockFor(0ms), LockResult::Acquired);
    ASSERT_EQ(lock->lockFor(0ms), LockResult::Acquired);
    lock->unlock();
    const auto fromAnotherThread = [&] {
        LockResult result = LockResult::Failed;
        std::thread([&] {
            result = lock->lockFor(50ms);
            if (result == LockResult::Acquired) lock->unlock();
        }).join();
        return result;
    };
    EXPECT_EQ(fromAnotherThread(), LockResult::TimedOut) << "still held once";
    lock->unlock();
    EXPECT_EQ(fromAnotherThread(), LockResult::Acquired);
}

TEST_F(Ipc, ASecondProcessSeesTheFirstOnesMemoryWithoutClearingIt) {
    auto memory = SharedMemory::open(name, 1804);
    ASSERT_TRUE(memory);
    EXPECT_TRUE(memory->createdNew());
    auto* bytes = static_cast<char*>(memory->data());
    std::memcpy(bytes, "drive slots", 12);
    const pid_t child = spawn([&] {
        auto seen = SharedMemory::open(name, 1804);
        if (!seen || seen->createdNew() || std::memcmp(seen->data(), "drive slots", 12)) return 3;
        static_cast<char*>(seen->data())[1803] = 'x';
        return 0;
    });
    EXPECT_EQ(exitCodeOf(child), 0);
    EXPECT_STREQ(bytes, "drive slots");
    EXPECT_EQ(bytes[1803], 'x');
}

}  // namespace
}  // namespace lumbra::platform
