#include "install_folder.h"

#include "file_io.h"

namespace tovi::platform {
namespace {
std::u16string join(const std::u16string& folder, std::u16string_view name) {
    std::u16string path = folder;
    path += u'\\';
    path += name;
    return path;
}
} // namespace

std::u16string InstallFolder::file(std::u16string_view name) const {
    return join(path_, name);
}

std::u16string InstallFolder::fileToRead(std::u16string_view name) const {
    if (!userPath_.empty()) {
        std::u16string own = join(userPath_, name);
        if (isFile(own))
            return own;
    }
    return file(name);
}

std::optional<std::u16string> InstallFolder::fileToWrite(std::u16string_view name) const {
    // Never a relative path: without a user folder nothing is written anywhere.
    if (userPath_.empty() || !makeFolder(userPath_))
        return std::nullopt;
    return join(userPath_, name);
}

std::u16string installFilePath(std::u16string_view name) {
    return InstallFolder(installPath()).file(name);
}

} // namespace tovi::platform
