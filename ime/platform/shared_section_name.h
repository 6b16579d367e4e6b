// POSIX only: the name of the shared-memory object that stands in for the module's shared
// section. Hosts and tests choose one so that independent runs do not share state.
#pragma once

#include <string>

namespace tovi::platform {

// Unmaps the current object; the next sharedControlSection() maps the one called `name`.
void setSharedSectionName(const std::u16string& name);

} // namespace tovi::platform
