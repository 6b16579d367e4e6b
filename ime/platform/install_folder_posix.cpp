#include "install_folder.h"
#include "install_folder_override.h"

namespace tovi::platform {
namespace {
std::u16string& folder() {
    static std::u16string value;
    return value;
}
} // namespace

void setInstallFolder(std::u16string_view path) {
    folder() = path;
}

std::u16string installPath() {
    return folder();
}

} // namespace tovi::platform
