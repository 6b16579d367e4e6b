#include "named_mutex.h"

#include "win32_handle.h"

#include <utility>
#include <windows.h>

namespace tovi::platform {

struct NamedMutex::Handle {
    UniqueHandle mutex;
};

NamedMutex::NamedMutex(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
NamedMutex::NamedMutex(NamedMutex&&) noexcept = default;
NamedMutex& NamedMutex::operator=(NamedMutex&&) noexcept = default;
NamedMutex::~NamedMutex() = default;

std::optional<NamedMutex> NamedMutex::open(const std::u16string& name) {
    auto handle = std::make_unique<Handle>();
    handle->mutex.reset(CreateMutexW(nullptr, FALSE, reinterpret_cast<LPCWSTR>(name.c_str())));
    if (!handle->mutex)
        return std::nullopt;
    return NamedMutex(std::move(handle));
}

LockResult NamedMutex::lock(std::uint32_t milliseconds) {
    if (!handle_)
        return LockResult::Failed;
    switch (WaitForSingleObject(handle_->mutex.get(), milliseconds)) {
    case WAIT_OBJECT_0:
        return LockResult::Acquired;
    case WAIT_ABANDONED:
        return LockResult::Recovered;
    case WAIT_TIMEOUT:
        return LockResult::TimedOut;
    default:
        return LockResult::Failed;
    }
}

void NamedMutex::unlock() {
    if (handle_)
        ReleaseMutex(handle_->mutex.get());
}

// Windows drops a named mutex with its last handle.
void NamedMutex::removeName(const std::u16string&) {}

} // namespace tovi::platform
