#include "file_replace.h"

#include "utf8_path.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace tovi::platform {
namespace {

std::string nativePath(const std::u16string& path) {
    std::string native = toUtf8(path);
    for (char& c : native)
        if (c == '\\')
            c = '/';
    return native;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

} // namespace

bool replaceFileContents(const std::u16string& path, std::string_view bytes) {
    const std::string target = nativePath(path);
    const std::string fresh = target + ".new";
    const int fd = ::open(fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || std::rename(fresh.c_str(), target.c_str()) != 0) {
        ::unlink(fresh.c_str());
        return false;
    }
    return true;
}

} // namespace tovi::platform
