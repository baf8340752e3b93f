#include "platform/process_identity.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <sstream>
#include <string>

#include "platform/atomic_file.h"

namespace lumbra::platform {
namespace {

struct ProcessStat {
    char state = '?';
    uint64_t startTime = 0;
};

ProcessStat statOf(pid_t pid) {
    ProcessStat result;
    const auto stat = readWholeFile("/proc/" + std::to_string(pid) + "/stat");
    if (!stat) return result;
    // The command name may hold blanks and parentheses; the fields after the last ')' are fixed.
    const size_t close = stat->rfind(')');
    if (close == std::string::npos) return result;
    std::istringstream fields(stat->substr(close + 1));
    std::string field;
    for (int i = 3; i <= 22 && fields >> field; ++i) {
        if (i == 3) result.state = field[0];
        if (i == 22) result.startTime = std::strtoull(field.c_str(), nullptr, 10);
    }
    return result;
}

}  // namespace

ProcessIdentity currentProcess() {
    const pid_t pid = getpid();
    return {pid, statOf(pid).startTime};
}

uint64_t startTimeOf(pid_t pid) {
    return statOf(pid).startTime;
}

bool isRunning(const ProcessIdentity& process) {
    if (process.pid <= 0) return false;
    if (kill(process.pid, 0) != 0 && errno == ESRCH) return false;
    const ProcessStat stat = statOf(process.pid);
    if (stat.state == 'Z' || stat.state == 'X') return false;  // exited, not yet reaped
    return process.startTime == 0 || stat.startTime == 0 || stat.startTime == process.startTime;
}

}  // namespace lumbra::platform
