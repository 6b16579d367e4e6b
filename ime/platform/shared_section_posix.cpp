#include "shared_section.h"

#include "shared_memory.h"
#include "shared_section_name.h"

#include <optional>

namespace tovi::platform {
namespace {
constexpr char16_t kDefaultName[] = u"tovi.VemoraH";
std::u16string& sectionName() {
    static std::u16string name = kDefaultName;
    return name;
}
std::optional<SharedMemory>& mapping() {
    static std::optional<SharedMemory> m;
    return m;
}
} // namespace

void setSharedSectionName(const std::u16string& name) {
    mapping().reset();
    sectionName() = name;
}

std::u16string sharedNameSuffix() {
    return sectionName() == kDefaultName ? std::u16string() : u"-" + sectionName();
}

SharedControlSection* sharedControlSection() {
    auto& m = mapping();
    if (!m)
        m = SharedMemory::openOrCreate(sectionName(), sizeof(SharedControlSection));
    return m ? static_cast<SharedControlSection*>(m->data()) : nullptr;
}

} // namespace tovi::platform
