#include "shared_section.h"

#include <atomic>

namespace tovi::platform {

std::uint32_t nextInstanceNumber(SharedControlSection& section) {
    std::atomic_ref<std::uint32_t> counter(section.instanceCounter);
    static_assert(std::atomic_ref<std::uint32_t>::is_always_lock_free,
                  "the counter is shared between processes and must not need a lock");
    return counter.fetch_add(1) + 1;
}

} // namespace tovi::platform
