#include "dict_file.h"

#include "win32_owners.h"

#include <algorithm>
#include <vector>

namespace tovi::screen {

std::wstring programFolder() {
    // Long paths: grow the buffer until the whole path fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size()) {
            const std::wstring path(buffer.data(), length);
            const std::size_t slash = path.find_last_of(L"\\/");
            return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
        }
        if (buffer.size() >= 32768)
            return {};
        buffer.resize(buffer.size() * 2);
    }
}

DictFileStatus loadDictFile(const std::wstring& path, TVmsDict& dict, DictLoadReport* report) {
    dict.load({});
    const OwnedFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                   ? DictFileStatus::Missing
                   : DictFileStatus::Unreadable;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0)
        return DictFileStatus::Unreadable;
    // One byte past the limit tells the parser that the file went on.
    const auto wanted = static_cast<std::size_t>(
        std::min<long long>(size.QuadPart, static_cast<long long>(kMaxDictBytes) + 1));
    std::string bytes(wanted, '\0');
    std::size_t filled = 0;
    while (filled < wanted) {
        DWORD read = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(wanted - filled, 1u << 20));
        if (!ReadFile(file.get(), bytes.data() + filled, chunk, &read, nullptr))
            return DictFileStatus::Unreadable;
        if (read == 0)
            break; // the file shrank while being read
        filled += read;
    }
    bytes.resize(filled);
    const DictLoadReport loaded = dict.load(bytes);
    if (report)
        *report = loaded;
    return DictFileStatus::Loaded;
}

} // namespace tovi::screen
