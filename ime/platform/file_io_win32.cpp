#include "file_io.h"

#include "read_to_end.h"
#include "win32_handle.h"

#include <algorithm>
#include <share.h>
#include <windows.h>

namespace tovi::platform {

FilePtr openFile(const std::u16string& path, const char* mode) {
    std::wstring wideMode;
    for (const char* p = mode; *p; ++p)
        wideMode += static_cast<wchar_t>(*p);
    return FilePtr(
        _wfsopen(reinterpret_cast<const wchar_t*>(path.c_str()), wideMode.c_str(), _SH_DENYNO));
}

std::optional<std::string> readWholeFile(const std::u16string& path, std::size_t maxBytes) {
    // Shared for every access, as the module's data files are: another process may be saving.
    const UniqueHandle file(CreateFileW(reinterpret_cast<LPCWSTR>(path.c_str()), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size))
        return std::nullopt;
    const auto expected = static_cast<std::size_t>(std::min<ULONGLONG>(
        static_cast<ULONGLONG>(std::max<LONGLONG>(size.QuadPart, 0)), maxBytes));
    return readToEnd(expected, maxBytes,
                     [&file](char* to, std::size_t n) -> std::optional<std::size_t> {
                         DWORD read = 0;
                         const auto chunk = static_cast<DWORD>(std::min<std::size_t>(n, 1u << 20));
                         if (!ReadFile(file.get(), to, chunk, &read, nullptr))
                             return std::nullopt;
                         return read;
                     });
}

bool isFile(const std::u16string& path) {
    const DWORD attributes = GetFileAttributesW(reinterpret_cast<LPCWSTR>(path.c_str()));
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

bool makeFolder(const std::u16string& path) {
    const auto wide = reinterpret_cast<LPCWSTR>(path.c_str());
    if (CreateDirectoryW(wide, nullptr))
        return true;
    const DWORD attributes = GetFileAttributesW(wide);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace tovi::platform
