#include "metadata/recent_disc_table.h"

#include <algorithm>
#include <mutex>

namespace lumbra {
namespace {

struct Table {
    std::mutex mutex;
    std::array<RecentDisc, kRecentDiscSlots> slots{};
    int nextSlot = 0;
};

Table& table() {
    static Table instance;
    return instance;
}

template <typename Matches>
std::optional<RecentDisc> findFirst(Matches matches) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    const auto it = std::find_if(t.slots.begin(), t.slots.end(), matches);
    return it == t.slots.end() ? std::nullopt : std::optional<RecentDisc>(*it);
}

}  // namespace

void rememberDisc(uint32_t localKey, uint32_t discId, int trackCount,
                  std::span<const uint32_t> values) {
    RecentDisc entry;
    entry.localKey = localKey;
    entry.discId = discId;
    entry.trackCount = trackCount;
    std::copy_n(values.begin(), std::min<size_t>(values.size(), kRecentDiscValues),
                entry.values.begin());
    Table& t = table();
    std::lock_guard lock(t.mutex);
    t.slots[size_t(t.nextSlot)] = entry;
    t.nextSlot = (t.nextSlot + 1) % kRecentDiscSlots;
}

std::optional<RecentDisc> findByLocalKey(uint32_t localKey) {
    return findFirst([&](const RecentDisc& d) { return d.localKey == localKey; });
}

std::optional<RecentDisc> findByDiscId(uint32_t discId) {
    return findFirst([&](const RecentDisc& d) { return d.discId == discId; });
}

std::optional<RecentDisc> findByLayout(uint32_t localKey, std::span<const uint32_t> values) {
    if (values.empty() || values.size() > size_t(kRecentDiscValues)) return std::nullopt;
    return findFirst([&](const RecentDisc& d) {
        return d.localKey == localKey && d.trackCount == int(values.size()) - 1 &&
               std::equal(values.begin(), values.end(), d.values.begin());
    });
}

void forgetRecentDiscs() {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    t.slots = {};
    t.nextSlot = 0;
}

}  // namespace lumbra
