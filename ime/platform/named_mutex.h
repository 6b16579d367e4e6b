// A mutex that every process opening the same name shares. It guards state that several
// processes write (the code tables' pools and control block). A process that dies while holding
// it releases it; the next owner is told, so that it can treat the guarded state as suspect.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tovi::platform {

enum class LockResult : std::uint8_t {
    Acquired,
    Recovered, // acquired from an owner that ended without releasing it
    TimedOut,
    Failed,
};

class NamedMutex {
public:
    // Opens the mutex called `name`, creating it when no process holds it yet. Null when the
    // system refuses.
    static std::optional<NamedMutex> open(const std::u16string& name);

    NamedMutex(NamedMutex&&) noexcept;
    NamedMutex& operator=(NamedMutex&&) noexcept;
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;
    ~NamedMutex();

    // Waits at most `milliseconds`. Not recursive: a thread that holds it must not lock it again.
    LockResult lock(std::uint32_t milliseconds);
    // Only after Acquired or Recovered.
    void unlock();

    // Forgets the name (POSIX keeps the object until then; tests start afresh with it).
    static void removeName(const std::u16string& name);

private:
    struct Handle;
    explicit NamedMutex(std::unique_ptr<Handle> handle);
    std::unique_ptr<Handle> handle_;
};

// Holds a NamedMutex from construction to destruction when the lock was obtained.
class NamedMutexLock {
public:
    NamedMutexLock(NamedMutex& mutex, std::uint32_t milliseconds)
        : result_(mutex.lock(milliseconds)), mutex_(owns() ? &mutex : nullptr) {}
    ~NamedMutexLock() {
        if (mutex_)
            mutex_->unlock();
    }
    NamedMutexLock(const NamedMutexLock&) = delete;
    NamedMutexLock& operator=(const NamedMutexLock&) = delete;

    bool owns() const {
        return result_ == LockResult::Acquired || result_ == LockResult::Recovered;
    }
    bool recovered() const { return result_ == LockResult::Recovered; }
    LockResult result() const { return result_; }

private:
    LockResult result_;
    NamedMutex* mutex_;
};

} // namespace tovi::platform
