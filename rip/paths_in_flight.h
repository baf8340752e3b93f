// The output files that tracks handed to encoder threads are still writing. Two tracks of a job
// can get the same name (two titles alike, a template without the title); the later one waits
// until the earlier has ended before it is asked about or written, so the question, its answer
// and the file left are those of a rip that writes one track after the other.
#pragma once

#include <condition_variable>
#include <mutex>
#include <set>
#include <string>

namespace lumbra {

class PathsInFlight {
public:
    // A path being written; freed when the claim goes.
    class Claim {
    public:
        Claim(PathsInFlight& paths, std::string path);
        Claim(const Claim&) = delete;
        Claim& operator=(const Claim&) = delete;
        ~Claim();

    private:
        PathsInFlight& paths_;
        const std::string path_;
    };

    PathsInFlight() = default;
    PathsInFlight(const PathsInFlight&) = delete;
    PathsInFlight& operator=(const PathsInFlight&) = delete;

    // Returns once no claim holds `path`.
    void waitUntilFree(const std::string& path);

private:
    std::mutex mutex_;
    std::condition_variable freed_;
    std::multiset<std::string> paths_;
};

}  // namespace lumbra
