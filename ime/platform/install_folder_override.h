// POSIX only: there is no registry, so the host (a test or the console front end) names the
// installation folder.
#pragma once

#include <string_view>

namespace tovi::platform {

void setInstallFolder(std::u16string_view path);

} // namespace tovi::platform
