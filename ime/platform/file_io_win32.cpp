#include "file_io.h"

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

} // namespace tovi::platform
