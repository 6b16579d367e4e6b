#include "shared_section.h"

namespace tovi::platform {

// The section is marked shared in the image, so every process that maps the module sees the same
// 4096 bytes; the loader fills it with zeros for the first process.
__attribute__((section(".VemoraH"), shared)) SharedControlSection gSharedSection = {};

SharedControlSection* sharedControlSection() {
    return &gSharedSection;
}

std::u16string sharedNameSuffix() {
    return {};
}

} // namespace tovi::platform
