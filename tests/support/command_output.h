// A command-line tool run by a test as an independent check, with what it printed.
#pragma once

#include <sys/wait.h>
#include <cstdio>
#include <memory>
#include <string>

namespace lumbra::test {

struct CommandOutput {
    int exitCode = -1;
    std::string out;  // standard output; standard error goes to the test's own
};

inline CommandOutput runCommand(const std::string& command) {
    CommandOutput result;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        result.out.append(buffer, n);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// `text` quoted for the shell.
inline std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace lumbra::test
