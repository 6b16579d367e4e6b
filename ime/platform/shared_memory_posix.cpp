#include "shared_memory.h"

#include "utf8_path.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tovi::platform {
namespace {

// POSIX names are one path component that starts with a slash.
std::string posixName(const std::u16string& name) {
    std::string out = "/";
    for (const char c : toUtf8(name))
        out += (c == '/' || c == '\\') ? '_' : c;
    return out;
}

} // namespace

struct SharedMemory::Handle {
    int fd = -1;
    ~Handle() {
        if (fd >= 0)
            ::close(fd);
    }
};

SharedMemory::SharedMemory(std::unique_ptr<Handle> handle, void* data, std::size_t size,
                           bool existed)
    : handle_(std::move(handle)), data_(data), size_(size), existed_(existed) {}

SharedMemory::SharedMemory(SharedMemory&& other) noexcept
    : handle_(std::move(other.handle_)), data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)), existed_(other.existed_) {}

SharedMemory& SharedMemory::operator=(SharedMemory&& other) noexcept {
    if (this != &other) {
        if (data_)
            ::munmap(data_, size_);
        handle_ = std::move(other.handle_);
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        existed_ = other.existed_;
    }
    return *this;
}

SharedMemory::~SharedMemory() {
    if (data_)
        ::munmap(data_, size_);
}

std::optional<SharedMemory> SharedMemory::openOrCreate(const std::u16string& name,
                                                       std::size_t size) {
    if (size == 0)
        return std::nullopt;
    const std::string path = posixName(name);
    auto handle = std::make_unique<Handle>();
    bool existed = false;
    handle->fd = ::shm_open(path.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
    if (handle->fd >= 0) {
        if (::ftruncate(handle->fd, static_cast<off_t>(size)) != 0) {
            ::shm_unlink(path.c_str());
            return std::nullopt;
        }
    } else {
        handle->fd = ::shm_open(path.c_str(), O_RDWR, 0600);
        if (handle->fd < 0)
            return std::nullopt;
        existed = true;
        // The creator may not have sized it yet, or sized it smaller: mapping past the end of
        // the object would fault on first touch, so refuse it.
        struct stat st {};
        if (::fstat(handle->fd, &st) != 0 || static_cast<std::size_t>(st.st_size) < size)
            return std::nullopt;
    }
    void* data = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, handle->fd, 0);
    if (data == MAP_FAILED)
        return std::nullopt;
    return SharedMemory(std::move(handle), data, size, existed);
}

std::optional<SharedMemory> SharedMemory::createUnnamed(std::size_t size) {
    if (size == 0)
        return std::nullopt;
    void* data = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (data == MAP_FAILED)
        return std::nullopt;
    return SharedMemory(std::make_unique<Handle>(), data, size, false);
}

void SharedMemory::prefetch(std::size_t bytes) const {
#ifdef MADV_POPULATE_READ
    if (data_ && bytes > 0)
        ::madvise(data_, std::min(bytes, size_), MADV_POPULATE_READ);
#else
    (void)bytes;
#endif
}

void SharedMemory::removeName(const std::u16string& name) {
    ::shm_unlink(posixName(name).c_str());
}

} // namespace tovi::platform
