#include "install_folder.h"
#include "install_folder_override.h"

namespace tovi::platform {
namespace {
std::u16string& folder() {
    static std::u16string value;
    return value;
}
std::u16string& userFolder() {
    static std::u16string value;
    return value;
}
} // namespace

void setInstallFolder(std::u16string_view path) {
    folder() = path;
}

void setUserFolder(std::u16string_view path) {
    userFolder() = path;
}

std::u16string installPath() {
    return folder();
}

std::u16string userDataPath() {
    return userFolder();
}

} // namespace tovi::platform
