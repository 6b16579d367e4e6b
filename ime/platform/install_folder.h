// The installation folder, where every data file of the module lives, and paths inside it.
#pragma once

#include <string>
#include <string_view>

namespace tovi::platform {

// The folder recorded by the installer, read anew at every call; empty when none is recorded.
std::u16string installPath();

// installPath() + "\" + name.
std::u16string installFilePath(std::u16string_view name);

// The installation folder as a value: the module reads it once and hands it to every object that
// reads a data file, so tests can build those objects on a folder of their own.
class InstallFolder {
public:
    InstallFolder() = default;
    explicit InstallFolder(std::u16string path) : path_(std::move(path)) {}
    // The folder the installer recorded (installPath()).
    static InstallFolder fromSystem() { return InstallFolder(installPath()); }

    const std::u16string& path() const { return path_; }
    // The folder, a backslash and `name`.
    std::u16string file(std::u16string_view name) const;

private:
    std::u16string path_;
};

} // namespace tovi::platform
