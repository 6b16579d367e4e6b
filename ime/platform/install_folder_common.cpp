#include "install_folder.h"

namespace tovi::platform {

std::u16string InstallFolder::file(std::u16string_view name) const {
    std::u16string path = path_;
    path += u'\\';
    path += name;
    return path;
}

std::u16string installFilePath(std::u16string_view name) {
    return InstallFolder::fromSystem().file(name);
}

} // namespace tovi::platform
