#include "win_test_support.h"

#include "platform/install_folder.h"
#include "tables/code_table_file.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace tovi::wintest {

namespace {
// Deletes the files of `folder` (not its subfolders) and the folder when it is then empty.
void removeFolderFiles(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW((folder + L"\\" + found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}
} // namespace

std::wstring userFolder() {
    const std::u16string path = platform::userDataPath();
    if (path.empty())
        throw std::runtime_error("no user folder");
    return std::wstring(path.begin(), path.end());
}

void removeUserFolder() {
    removeFolderFiles(userFolder());
}

bool exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring ScratchFolder::userFile(const std::wstring& name) {
    return userFolder() + L"\\" + name;
}

std::wstring ScratchFolder::fileInUse(const std::wstring& name) const {
    const std::wstring own = userFile(name);
    return exists(own) ? own : file(name);
}

ScratchFolder::ScratchFolder() {
    removeUserFolder();
    wchar_t temp[MAX_PATH];
    if (!GetTempPathW(MAX_PATH, temp))
        throw std::runtime_error("GetTempPathW failed");
    static unsigned serial = 0;
    for (;;) {
        // A space and characters outside the ANSI code page: every path the module builds
        // must keep them.
        path_ = std::wstring(temp) + L"tovi 测试-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++serial);
        if (CreateDirectoryW(path_.c_str(), nullptr)) {
            // Empty but valid code tables: a module loaded with this folder finds its tables and
            // shows no failure box that nobody is there to close.
            writeBytes(file(L"toviwb.mb"), writeCodeTable(CodeTableData(CodeTableLayout::Digits)));
            writeBytes(file(L"tovipy.mb"), writeCodeTable(CodeTableData(CodeTableLayout::Letters)));
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("CreateDirectoryW failed");
    }
}

ScratchFolder::~ScratchFolder() {
    removeFolderFiles(path_);
    removeUserFolder();
}

// Both registry views: a 64-bit process reads the 64-bit one, a 32-bit process WOW6432Node, as an
// installer writes them.
constexpr REGSAM kViews[] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};

InstallPathValue::InstallPathValue(const std::wstring& folder) {
    for (const REGSAM view : kViews) {
        platform::UniqueRegKey key;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\tovi", 0, nullptr, 0, KEY_WRITE | view,
                            nullptr, key.out(), nullptr) != ERROR_SUCCESS)
            throw std::runtime_error("cannot create HKLM\\SOFTWARE\\tovi");
        const auto bytes = static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t));
        if (RegSetValueExW(key.get(), L"INSTALL_PATH", 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(folder.c_str()), bytes) != ERROR_SUCCESS)
            throw std::runtime_error("cannot set INSTALL_PATH");
    }
}

InstallPathValue::~InstallPathValue() {
    removeInstallPathKey();
}

void removeInstallPathKey() {
    for (const REGSAM view : kViews)
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\tovi", view, 0);
}

std::string readBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(path.c_str(), std::ios::binary);
    out << bytes;
}

std::wstring ownExecutable() {
    std::vector<wchar_t> buffer(32768);
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    return std::wstring(buffer.data(), n);
}

platform::UniqueHandle startSelf(const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + ownExecutable() + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return {};
    CloseHandle(info.hThread);
    return platform::UniqueHandle(info.hProcess);
}

long waitExitCode(const platform::UniqueHandle& process, DWORD milliseconds) {
    if (!process || WaitForSingleObject(process.get(), milliseconds) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    return static_cast<long>(code);
}

std::wstring resultString(HIMC context) {
    wchar_t text[300] = {};
    const LONG bytes = ImmGetCompositionStringW(context, GCS_RESULTSTR, text, sizeof(text));
    return bytes > 0 ? std::wstring(text, bytes / sizeof(wchar_t)) : std::wstring();
}

} // namespace tovi::wintest
