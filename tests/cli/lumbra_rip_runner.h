// lumbra-rip run as a user runs it, with its own program home, against virtual drives.
#pragma once

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>

#include "support/isolated_cd_access.h"
#include "support/temp_dir.h"

namespace lumbra::test {

struct ProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;

    // The first line that starts with `prefix`.
    std::string line(const std::string& prefix) const {
        std::istringstream in(out);
        for (std::string line; std::getline(in, line);) {
            if (line.starts_with(prefix)) return line;
        }
        return "<none>";
    }
};

class LumbraRip : public IsolatedCdAccess {
protected:
    // Automatic lookup is on by default, and tests talk to no server but their own.
    LumbraRip() { home.write("setup.ini", "[CDDB]\nCDDB_AUTO=0\n"); }
    // Runs lumbra-rip in `folder`, the current folder when empty.
    ProgramRun rip(const std::string& arguments, const std::string& folder = ".") const {
        const std::string command = "cd '" + folder + "' && " + runAs + LUMBRA_RIP_PROGRAM +
                                    " --home " + home.path() + databaseOption() + arguments;
        const std::string redirected =
            command + " >" + home.file("out.txt") + " 2>" + home.file("err.txt");
        const int status = std::system(redirected.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, home.read("out.txt"),
                home.read("err.txt")};
    }

    // Starts lumbra-rip in `folder` with `environment` (assignments such as "A=1") and returns
    // its process id at once; its output goes to `output` in the program home.
    pid_t start(const std::string& arguments, const std::string& folder,
                const std::string& environment, const std::string& output = "out.txt") const {
        const std::string command = "cd '" + folder + "' && " + environment + " exec " + runAs +
                                    LUMBRA_RIP_PROGRAM + " --home " + home.path() +
                                    databaseOption() + arguments + " >" + home.file(output) +
                                    " 2>/dev/null";
        home.write(output, "");
        const pid_t pid = fork();
        if (pid == 0) {
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        return pid;
    }

    // Waits until the started program's output holds `text`; false after ten seconds.
    bool waitForOutput(const std::string& text) const {
        for (int i = 0; i < 1000; ++i) {
            if (home.read("out.txt").find(text) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    // The exit code of a started program, or -1 when a signal ended it.
    static int exitCodeOf(pid_t pid) {
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // setup.ini naming the loopback CDDB server on `port` as the only server, with `cddbLines` in
    // its section and `musicBrainzLines` in MusicBrainz's (which is off unless they say otherwise).
    void useCddbServer(int port, const std::string& cddbLines,
                       const std::string& musicBrainzLines = "MB_ENABLE=0\nCAA_ENABLE=0\n") const {
        home.write("setup.ini", "[CDDB]\nCDDB_COUNT=1\nCDDB_SERVER0=127.0.0.1\nCDDB_PORT0=" +
                                    std::to_string(port) + "\nCDDB_QUERY0=/~cddb/cddb.cgi\n" +
                                    cddbLines + "[MUSICBRAINZ]\n" + musicBrainzLines);
    }
    // The CDDB lines that keep a local database in the program home.
    std::string localDatabaseLines() const {
        return "CDDB_USE_LOCALCDDB=1\nCDDB_LOCALCDDB_PATH=" + home.file("Local CDDB") + "\n";
    }

    // Rips check their tracks against the AccurateRip server of setup.ini only when a test asks:
    // the default server is on the internet.
    std::string databaseOption() const { return accurateRip ? " " : " --no-accuraterip "; }

    TempDir home;
    bool accurateRip = false;
    // A command that runs the program as another user, or "" to run it as this one.
    std::string runAs;
};

}  // namespace lumbra::test
