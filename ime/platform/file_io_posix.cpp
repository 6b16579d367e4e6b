#include "file_io.h"

#include "read_to_end.h"
#include "utf8_path.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tovi::platform {
namespace {

// Module paths join the folder and the name with a backslash.
std::string nativePath(const std::u16string& path) {
    std::string native = toUtf8(path);
    std::replace(native.begin(), native.end(), '\\', '/');
    return native;
}

class UniqueFd {
public:
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

FilePtr openFile(const std::u16string& path, const char* mode) {
    FilePtr file(std::fopen(nativePath(path).c_str(), mode));
    // Only regular files. A folder opens for reading here (unlike on Windows), but every read of
    // it fails without reaching the end, which a reader looping to the end of the file would
    // never leave; a device may never end at all.
    struct stat st {};
    if (file && (::fstat(::fileno(file.get()), &st) != 0 || !S_ISREG(st.st_mode)))
        return nullptr;
    return file;
}

std::optional<std::string> readWholeFile(const std::u16string& path, std::size_t maxBytes) {
    const UniqueFd file(::open(nativePath(path).c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (file.get() < 0 || ::fstat(file.get(), &st) != 0)
        return std::nullopt;
    const auto size = static_cast<std::size_t>(std::max<off_t>(st.st_size, 0));
    return readToEnd(size, maxBytes,
                     [&file](char* to, std::size_t n) -> std::optional<std::size_t> {
                         for (;;) {
                             const ssize_t got = ::read(file.get(), to, n);
                             if (got >= 0)
                                 return static_cast<std::size_t>(got);
                             if (errno != EINTR)
                                 return std::nullopt;
                         }
                     });
}

bool isFile(const std::u16string& path) {
    struct stat info {};
    return ::stat(nativePath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool makeFolder(const std::u16string& path) {
    const std::string native = nativePath(path);
    if (::mkdir(native.c_str(), 0755) == 0)
        return true;
    struct stat info {};
    return ::stat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace tovi::platform
