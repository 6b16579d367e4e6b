// Opening files by their module path (UTF-16, backslash-separated), shared with other readers and
// writers as the module's data files are.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace tovi::platform {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// `mode` is a C stdio mode; files are always opened in binary so that the bytes on disk are the
// same on every platform. Null when the file cannot be opened or is not a regular file (a folder,
// a device).
FilePtr openFile(const std::u16string& path, const char* mode);

// The bytes of a whole file, at most `maxBytes` of them; none when it cannot be opened or read.
// Reads through the system's own file calls, not the C runtime's streams: it runs on the loading
// thread, and a host process that exits closes every open stream of its runtime under it.
std::optional<std::string> readWholeFile(const std::u16string& path, std::size_t maxBytes);

// True when `path` names a regular file (not a folder, not a device).
bool isFile(const std::u16string& path);

// Creates the folder `path` (its parent must exist); true when it exists afterwards.
bool makeFolder(const std::u16string& path);

} // namespace tovi::platform
