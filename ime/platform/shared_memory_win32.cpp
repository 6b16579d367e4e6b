#include "shared_memory.h"

#include "win32_handle.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <windows.h>

namespace tovi::platform {

struct SharedMemory::Handle {
    UniqueHandle mapping;
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
            UnmapViewOfFile(data_);
        handle_ = std::move(other.handle_);
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        existed_ = other.existed_;
    }
    return *this;
}

SharedMemory::~SharedMemory() {
    if (data_)
        UnmapViewOfFile(data_);
}

std::optional<SharedMemory> SharedMemory::openOrCreate(const std::u16string& name,
                                                       std::size_t size) {
    if (size == 0)
        return std::nullopt;
    const auto size64 = static_cast<std::uint64_t>(size);
    auto handle = std::make_unique<Handle>();
    handle->mapping.reset(CreateFileMappingW(
        INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, static_cast<DWORD>(size64 >> 32),
        static_cast<DWORD>(size64 & 0xFFFFFFFFu), reinterpret_cast<LPCWSTR>(name.c_str())));
    if (!handle->mapping)
        return std::nullopt;
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    // Mapping more than an existing, smaller block holds fails here rather than faulting later.
    void* data = MapViewOfFile(handle->mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, size);
    if (!data)
        return std::nullopt;
    return SharedMemory(std::move(handle), data, size, existed);
}

std::optional<SharedMemory> SharedMemory::createUnnamed(std::size_t size) {
    if (size == 0)
        return std::nullopt;
    const auto size64 = static_cast<std::uint64_t>(size);
    auto handle = std::make_unique<Handle>();
    handle->mapping.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE,
                                             static_cast<DWORD>(size64 >> 32),
                                             static_cast<DWORD>(size64 & 0xFFFFFFFFu), nullptr));
    if (!handle->mapping)
        return std::nullopt;
    void* data = MapViewOfFile(handle->mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, size);
    if (!data)
        return std::nullopt;
    return SharedMemory(std::move(handle), data, size, false);
}

void SharedMemory::prefetch(std::size_t bytes) const {
    if (!data_ || bytes == 0)
        return;
    // PrefetchVirtualMemory exists from Windows 8 on; looked up so that the module still loads
    // where it does not.
    struct Range {
        void* address;
        SIZE_T bytes;
    };
    using Prefetch = BOOL(WINAPI*)(HANDLE, ULONG_PTR, Range*, ULONG);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto prefetchMemory = kernel ? reinterpret_cast<Prefetch>(reinterpret_cast<void (*)()>(
                                             GetProcAddress(kernel, "PrefetchVirtualMemory")))
                                       : nullptr;
    if (!prefetchMemory)
        return;
    Range range{data_, std::min(bytes, size_)};
    prefetchMemory(GetCurrentProcess(), 1, &range, 0);
}

void SharedMemory::removeName(const std::u16string&) {}

} // namespace tovi::platform
