#include "install_folder.h"

#include "win32_handle.h"

#include <algorithm>
#include <memory>
#include <vector>
#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

namespace tovi::platform {
namespace {
// Longest folder accepted; a longer value is treated as missing rather than cut to a wrong path.
constexpr DWORD kMaxUnits = 32767;

struct TaskMemoryFree {
    void operator()(wchar_t* p) const { CoTaskMemFree(p); }
};
} // namespace

std::u16string installPath() {
    UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\tovi", 0, KEY_READ, key.out()) !=
        ERROR_SUCCESS)
        return {};
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key.get(), L"INSTALL_PATH", nullptr, &type, nullptr, &bytes) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || bytes > kMaxUnits * sizeof(wchar_t))
        return {};
    // One spare unit: the stored string need not be terminated.
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD got = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    if (RegQueryValueExW(key.get(), L"INSTALL_PATH", nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer.data()), &got) != ERROR_SUCCESS)
        return {};
    std::u16string value(reinterpret_cast<const char16_t*>(buffer.data()),
                         std::min<std::size_t>(got / sizeof(wchar_t), buffer.size() - 1));
    if (const auto end = value.find(u'\0'); end != std::u16string::npos)
        value.resize(end);
    return value;
}

std::u16string userDataPath() {
    // The roaming application data folder, which every loaded profile has; "tovi" inside it is
    // made by the first save.
    PWSTR raw = nullptr;
    const HRESULT result = SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &raw);
    const std::unique_ptr<wchar_t, TaskMemoryFree> owned(raw);
    if (FAILED(result) || !raw || raw[0] == L'\0')
        return {};
    std::u16string path(reinterpret_cast<const char16_t*>(raw));
    if (path.size() > kMaxUnits)
        return {};
    if (path.back() != u'\\')
        path += u'\\';
    return path + u"tovi";
}

} // namespace tovi::platform
