#include "plugins/virtualdrive/virtual_drive_library.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "plugins/virtualdrive/disc_loader.h"

namespace lumbra::virtualdrive {
namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> discEntries(std::string_view list) {
    std::vector<std::string_view> entries;
    while (!list.empty()) {
        const size_t semicolon = list.find(';');
        if (auto entry = trim(list.substr(0, semicolon)); !entry.empty()) entries.push_back(entry);
        list.remove_prefix(semicolon == std::string_view::npos ? list.size() : semicolon + 1);
    }
    return entries;
}

void report(const LoadedDisc& loaded) {
    if (!loaded.problem.empty()) {
        std::fprintf(stderr, "virtual drive: %s: %s\n", loaded.name.c_str(),
                     loaded.problem.c_str());
    }
}

// Each drive gets its own jitter sequence, all derived from the one seed.
uint64_t driveSeed(uint64_t seed, size_t index) {
    return seed + 0x9E3779B97F4A7C15ull * index;
}

std::string_view environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

VirtualDriveLibrary& VirtualDriveLibrary::instance() {
    static VirtualDriveLibrary library;
    return library;
}

int VirtualDriveLibrary::configure(std::string_view discs, std::string_view faults) {
    std::lock_guard lock(mutex_);
    configureLocked(discs, faults);
    return int(drives_.size());
}

void VirtualDriveLibrary::ensureConfigured() {
    if (!configured_) {
        configureLocked(environment("LUMBRA_VIRTUAL_DISCS"), environment("LUMBRA_VIRTUAL_FAULTS"));
    }
}

void VirtualDriveLibrary::configureLocked(std::string_view discs, std::string_view faults) {
    configured_ = true;
    faults_ = parseFaultSettings(faults);
    for (const std::string& item : faults_.ignoredItems) {
        std::fprintf(stderr, "virtual drive: ignoring the fault \"%s\"\n", item.c_str());
    }
    drives_.clear();
    for (std::string_view entry : discEntries(discs)) {
        if (drives_.size() == size_t(kMaxDrives)) {
            std::fprintf(stderr, "virtual drive: only the first %d discs get a drive\n",
                         kMaxDrives);
            break;
        }
        LoadedDisc loaded = faults_.noDisc
                                ? LoadedDisc{discNameOf(entry), nullptr, "", discIdentityOf(entry)}
                                : loadDisc(entry);
        report(loaded);
        const uint64_t seed = driveSeed(faults_.seed, drives_.size());
        auto drive = std::make_shared<VirtualDrive>(std::move(loaded.disc), faults_, seed);
        drives_.push_back({intern(loaded.name), loaded.identity, std::move(drive)});
    }
}

const char* VirtualDriveLibrary::intern(std::string name) {
    return names_.insert(std::move(name)).first->c_str();
}

int VirtualDriveLibrary::driveCount() {
    std::lock_guard lock(mutex_);
    ensureConfigured();
    return int(drives_.size());
}

const char* VirtualDriveLibrary::driveName(int index) {
    std::lock_guard lock(mutex_);
    ensureConfigured();
    return index >= 0 && size_t(index) < drives_.size() ? drives_[size_t(index)].name : nullptr;
}

bool VirtualDriveLibrary::insertDisc(int index, std::string_view entry) {
    std::lock_guard lock(mutex_);
    ensureConfigured();
    if (index < 0 || size_t(index) >= drives_.size()) return false;
    LoadedDisc loaded = loadDisc(trim(entry));
    report(loaded);
    Slot& slot = drives_[size_t(index)];
    if (loaded.disc) slot.name = intern(loaded.name);
    slot.identity = loaded.identity;
    slot.drive->insertDisc(std::move(loaded.disc));
    return loaded.problem.empty();
}

int VirtualDriveLibrary::adapterCount() {
    std::lock_guard lock(mutex_);
    ensureConfigured();
    const int drives = int(drives_.size());
    return std::max(1, (drives + kTargetsPerAdapter - 1) / kTargetsPerAdapter);
}

VirtualDriveLibrary::Slot* VirtualDriveLibrary::slotAt(int adapter, int target, int lun) {
    ensureConfigured();
    if (lun != 0 || target < 0 || target >= kTargetsPerAdapter || adapter < 0) return nullptr;
    const size_t index = size_t(adapter) * kTargetsPerAdapter + size_t(target);
    return index < drives_.size() ? &drives_[index] : nullptr;
}

std::shared_ptr<VirtualDrive> VirtualDriveLibrary::driveAt(int adapter, int target, int lun) {
    std::lock_guard lock(mutex_);
    const Slot* slot = slotAt(adapter, target, lun);
    return slot ? slot->drive : nullptr;
}

uint64_t VirtualDriveLibrary::driveIdentity(int adapter, int target, int lun) {
    std::lock_guard lock(mutex_);
    const Slot* slot = slotAt(adapter, target, lun);
    return slot ? slot->identity : 0;
}

VirtualDriveLibrary::CompletionTiming VirtualDriveLibrary::completionTiming() {
    std::lock_guard lock(mutex_);
    ensureConfigured();
    return {faults_.delay, faults_.signalLag};
}

}  // namespace lumbra::virtualdrive
