#include "file_io.h"

#include "utf8_path.h"

namespace tovi::platform {

FilePtr openFile(const std::u16string& path, const char* mode) {
    // Module paths join the folder and the name with a backslash.
    std::string native = toUtf8(path);
    for (char& c : native)
        if (c == '\\')
            c = '/';
    return FilePtr(std::fopen(native.c_str(), mode));
}

} // namespace tovi::platform
