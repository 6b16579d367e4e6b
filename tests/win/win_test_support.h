// Helpers for the tests that run under Wine: a scratch folder, the registry value that names the
// installation folder, file bytes, result strings and child processes.
#pragma once

#include "platform/win32_handle.h"
#include <cstdint>
#include <string>

#include <imm.h>
#include <windows.h>

namespace tovi::wintest {

// A new folder under the temporary folder, named with a space and Chinese characters, holding
// empty code tables, removed (with its files) at the end. The user's folder of the module (where
// it saves) is emptied and removed at the start and at the end, so that every test starts from
// the installed files alone.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::wstring& path() const { return path_; }
    std::wstring file(const std::wstring& name) const { return path_ + L"\\" + name; }
    // A file of the user's folder, where the module writes.
    static std::wstring userFile(const std::wstring& name);
    // The file the module reads: the user's copy when there is one, else the scratch folder's.
    std::wstring fileInUse(const std::wstring& name) const;

private:
    std::wstring path_;
};

// The module's folder for the current user (%APPDATA%\tovi), as the module finds it.
std::wstring userFolder();
// Removes the user's folder and the files in it.
void removeUserFolder();
// True when `path` names an existing file or folder.
bool exists(const std::wstring& path);

// Sets HKLM\SOFTWARE\tovi INSTALL_PATH in both registry views for the life of the object, then
// removes the key.
class InstallPathValue {
public:
    explicit InstallPathValue(const std::wstring& folder);
    ~InstallPathValue();
    InstallPathValue(const InstallPathValue&) = delete;
    InstallPathValue& operator=(const InstallPathValue&) = delete;
};
void removeInstallPathKey();

std::string readBytes(const std::wstring& path);
void writeBytes(const std::wstring& path, const std::string& bytes);

// The context's result string, as an application reads it (at most 299 units).
std::wstring resultString(HIMC context);

// The full path of this test program.
std::wstring ownExecutable();

// Starts this program again with `arguments`; an empty handle when it cannot.
platform::UniqueHandle startSelf(const std::wstring& arguments);
// Waits for a process and returns its exit code, or -1 on a time-out.
long waitExitCode(const platform::UniqueHandle& process, DWORD milliseconds = 60000);

} // namespace tovi::wintest
