// POSIX only: there is no registry and no user profile, so the host (a test or the console front
// end) names the installation folder and the user's folder.
#pragma once

#include <string_view>

namespace tovi::platform {

void setInstallFolder(std::u16string_view path);
void setUserFolder(std::u16string_view path);

} // namespace tovi::platform
