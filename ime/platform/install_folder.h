// The installation folder, where the module's data files are installed, and the user's folder,
// where the module keeps its own copies of the files it writes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tovi::platform {

// The folder recorded by the installer, read anew at every call; empty when none is recorded.
std::u16string installPath();

// installPath() + "\" + name.
std::u16string installFilePath(std::u16string_view name);

// The current user's folder for the module's files: "tovi" in the user's roaming application
// data folder. Empty when the system names none. The folder itself may not exist yet.
std::u16string userDataPath();

// The installation folder and the user's folder as a value: the module reads them once and hands
// them to every object that reads a data file, so tests can build those objects on folders of
// their own.
//
// The installation folder is read-only for a standard user. The files the module writes
// (settings, code tables, skin copies) are read from the user's folder when a copy is there and
// from the installation folder otherwise, and written only to the user's folder.
class InstallFolder {
public:
    InstallFolder() = default;
    explicit InstallFolder(std::u16string path, std::u16string userPath = {})
        : path_(std::move(path)), userPath_(std::move(userPath)) {}
    // The folders of the system (installPath(), userDataPath()).
    static InstallFolder fromSystem() { return InstallFolder(installPath(), userDataPath()); }

    const std::u16string& path() const { return path_; }
    const std::u16string& userPath() const { return userPath_; }
    // The installation folder, a backslash and `name`: for the files the module only reads.
    std::u16string file(std::u16string_view name) const;
    // The user's copy of `name` when there is one, else the installation folder's file.
    std::u16string fileToRead(std::u16string_view name) const;
    // Where `name` is written: in the user's folder, which is created when missing. None when
    // there is no user folder or it cannot be created.
    std::optional<std::u16string> fileToWrite(std::u16string_view name) const;

private:
    std::u16string path_;
    std::u16string userPath_;
};

} // namespace tovi::platform
