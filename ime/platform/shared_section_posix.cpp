#include "shared_section.h"

#include "shared_memory.h"
#include "shared_section_name.h"

#include <mutex>
#include <optional>

namespace tovi::platform {
namespace {
constexpr char16_t kDefaultName[] = u"tovi.VemoraH";

struct Mapping {
    std::mutex mutex;
    std::u16string name = kDefaultName;
    std::optional<SharedMemory> memory;
    SharedControlSection* section = nullptr;
};

Mapping& mapping() {
    static Mapping m;
    return m;
}
} // namespace

void setSharedSectionName(const std::u16string& name) {
    Mapping& m = mapping();
    const std::lock_guard lock(m.mutex);
    m.section = nullptr;
    m.memory.reset();
    m.name = name;
}

std::u16string sharedNameSuffix() {
    Mapping& m = mapping();
    const std::lock_guard lock(m.mutex);
    return m.name == kDefaultName ? std::u16string() : u"-" + m.name;
}

SharedControlSection* sharedControlSection() {
    try {
        Mapping& m = mapping();
        const std::lock_guard lock(m.mutex);
        if (!m.memory) {
            m.memory = SharedMemory::openOrCreate(m.name, sizeof(SharedControlSection));
            auto* section =
                m.memory ? static_cast<SharedControlSection*>(m.memory->data()) : nullptr;
            // An object of another layout stays mapped but unused, so that every later call
            // answers alike without opening it again.
            m.section = section && adoptLayout(*section) ? section : nullptr;
        }
        return m.section;
    } catch (...) {
        return nullptr;
    }
}

// Every process of one user may write the POSIX object, so none falls back.
bool isProcessPrivate(const SharedControlSection*) {
    return false;
}

const SharedControlSection* watchedSharedSection() {
    return nullptr;
}

} // namespace tovi::platform
