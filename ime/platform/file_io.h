// Opening files by their module path (UTF-16, backslash-separated), shared with other readers and
// writers as the module's data files are.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace tovi::platform {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// `mode` is a C stdio mode; files are always opened in binary so that the bytes on disk are the
// same on every platform. Null when the file cannot be opened.
FilePtr openFile(const std::u16string& path, const char* mode);

} // namespace tovi::platform
