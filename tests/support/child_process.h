// A second process for tests of what processes share: a forked child that stands for another
// instance of the program, and one-byte signals between the two.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace lumbra::test {

class Pipe {
public:
    Pipe() { EXPECT_EQ(pipe(fds_), 0); }
    ~Pipe() {
        for (int fd : fds_) close(fd);
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;

    void post() const { EXPECT_EQ(write(fds_[1], "", 1), 1); }
    bool wait() const {
        char c;
        return read(fds_[0], &c, 1) == 1;
    }

private:
    int fds_[2] = {-1, -1};
};

// Runs `body` in a child process, which exits with its result.
template <typename Body>
pid_t spawn(Body body) {
    const pid_t pid = fork();
    if (pid == 0) _exit(body());
    return pid;
}

inline int exitCodeOf(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

template <typename Body>
int inChildProcess(Body body) {
    return exitCodeOf(spawn(body));
}

}  // namespace lumbra::test
