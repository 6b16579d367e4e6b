#include "shared_names.h"

#include "platform/named_mutex.h"
#include "platform/shared_memory.h"
#include "platform/shared_section_name.h"
#include "tables/code_table_control.h"

#include <atomic>
#include <unistd.h>

namespace tovi::test {

SharedNames::SharedNames() {
    static std::atomic<int> serial{0};
    const std::string suffix = "." + std::to_string(::getpid()) + "." + std::to_string(++serial);
    suffix_.assign(suffix.begin(), suffix.end());
    sectionName_ = u"tovi.test.section" + suffix_;
    platform::SharedMemory::removeName(sectionName_);
    platform::setSharedSectionName(sectionName_);
}

SharedNames::~SharedNames() {
    for (const Scheme scheme : {Scheme::Keypad, Scheme::Pinyin}) {
        const auto names = codeTableNames(scheme, suffix_);
        platform::SharedMemory::removeName(names->codePool);
        platform::SharedMemory::removeName(names->textPool);
        platform::NamedMutex::removeName(names->mutex);
    }
    platform::setSharedSectionName(u"tovi.VemoraH");
    platform::SharedMemory::removeName(sectionName_);
}

} // namespace tovi::test
