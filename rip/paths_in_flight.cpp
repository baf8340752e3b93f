#include "rip/paths_in_flight.h"

namespace lumbra {

PathsInFlight::Claim::Claim(PathsInFlight& paths, std::string path)
    : paths_(paths), path_(std::move(path)) {
    const std::lock_guard lock(paths_.mutex_);
    paths_.paths_.insert(path_);
}

PathsInFlight::Claim::~Claim() {
    {
        const std::lock_guard lock(paths_.mutex_);
        paths_.paths_.erase(paths_.paths_.find(path_));
    }
    paths_.freed_.notify_all();
}

void PathsInFlight::waitUntilFree(const std::string& path) {
    std::unique_lock lock(mutex_);
    freed_.wait(lock, [&] { return !paths_.contains(path); });
}

}  // namespace lumbra
