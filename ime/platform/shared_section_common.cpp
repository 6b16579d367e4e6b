#include "shared_section.h"

#include <atomic>

namespace tovi::platform {

static_assert(std::atomic_ref<std::uint32_t>::is_always_lock_free,
              "the section's words are shared between processes and must not need a lock");

std::uint32_t nextInstanceNumber(SharedControlSection& section) {
    std::atomic_ref<std::uint32_t> counter(section.instanceCounter);
    return counter.fetch_add(1) + 1;
}

bool adoptLayout(SharedControlSection& section) {
    // Every other field starts at zero, which is its right first value, so setting the layout
    // is all the set-up there is, and two processes doing it at once agree.
    std::uint32_t found = 0;
    return std::atomic_ref<std::uint32_t>(section.layout)
               .compare_exchange_strong(found, kSharedControlLayout) ||
           found == kSharedControlLayout;
}

} // namespace tovi::platform
