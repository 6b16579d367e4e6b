#include "file_replace.h"

#include "win32_handle.h"

#include <windows.h>

namespace tovi::platform {
namespace {

bool writeAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = bytes.size() > 0x100000 ? 0x100000 : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

} // namespace

bool replaceFileContents(const std::u16string& path, std::string_view bytes) {
    const std::u16string fresh = path + u".new";
    const auto* freshName = reinterpret_cast<LPCWSTR>(fresh.c_str());
    bool written = false;
    {
        UniqueHandle file(CreateFileW(freshName, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return false;
        written = writeAll(file.get(), bytes) && FlushFileBuffers(file.get());
    }
    if (!written || !MoveFileExW(freshName, reinterpret_cast<LPCWSTR>(path.c_str()),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(freshName);
        return false;
    }
    return true;
}

} // namespace tovi::platform
