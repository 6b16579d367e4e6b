#include "named_mutex.h"

#include "shared_memory.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <pthread.h>
#include <thread>
#include <utility>

namespace tovi::platform {
namespace {

// A robust, process-shared pthread mutex in a shared-memory object of its own. The first opener
// initialises it; `state` tells the others when it is ready.
struct SharedMutex {
    std::uint32_t state; // 0 new, 1 being initialised, 2 ready
    pthread_mutex_t mutex;
};

constexpr std::uint32_t kNew = 0;
constexpr std::uint32_t kInitialising = 1;
constexpr std::uint32_t kReady = 2;

std::u16string objectName(const std::u16string& name) {
    return name + u".mutex";
}

bool initialise(pthread_mutex_t& mutex) {
    pthread_mutexattr_t attr;
    if (pthread_mutexattr_init(&attr) != 0)
        return false;
    const bool ok = pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED) == 0 &&
                    pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST) == 0 &&
                    pthread_mutex_init(&mutex, &attr) == 0;
    pthread_mutexattr_destroy(&attr);
    return ok;
}

timespec deadlineAfter(std::uint32_t milliseconds) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const long long nanos = now.tv_nsec + static_cast<long long>(milliseconds % 1000) * 1000000;
    timespec deadline{};
    deadline.tv_sec = now.tv_sec + static_cast<time_t>(milliseconds / 1000 + nanos / 1000000000);
    deadline.tv_nsec = static_cast<long>(nanos % 1000000000);
    return deadline;
}

} // namespace

struct NamedMutex::Handle {
    SharedMemory memory;
    SharedMutex* shared() const { return static_cast<SharedMutex*>(memory.data()); }
};

NamedMutex::NamedMutex(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
NamedMutex::NamedMutex(NamedMutex&&) noexcept = default;
NamedMutex& NamedMutex::operator=(NamedMutex&&) noexcept = default;
// The mutex itself stays in the object for the other processes.
NamedMutex::~NamedMutex() = default;

std::optional<NamedMutex> NamedMutex::open(const std::u16string& name) {
    auto memory = SharedMemory::openOrCreate(objectName(name), sizeof(SharedMutex));
    if (!memory)
        return std::nullopt;
    auto* shared = static_cast<SharedMutex*>(memory->data());
    std::atomic_ref<std::uint32_t> state(shared->state);
    std::uint32_t expected = kNew;
    if (state.compare_exchange_strong(expected, kInitialising)) {
        if (!initialise(shared->mutex)) {
            state.store(kNew);
            return std::nullopt;
        }
        state.store(kReady);
    }
    return NamedMutex(std::make_unique<Handle>(Handle{std::move(*memory)}));
}

LockResult NamedMutex::lock(std::uint32_t milliseconds) {
    if (!handle_)
        return LockResult::Failed;
    SharedMutex* shared = handle_->shared();
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    // Another process may still be initialising it; that takes microseconds.
    std::atomic_ref<std::uint32_t> state(shared->state);
    while (state.load() != kReady) {
        if (std::chrono::steady_clock::now() >= giveUp)
            return LockResult::TimedOut;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const timespec deadline = deadlineAfter(milliseconds);
    switch (pthread_mutex_timedlock(&shared->mutex, &deadline)) {
    case 0:
        return LockResult::Acquired;
    case EOWNERDEAD:
        pthread_mutex_consistent(&shared->mutex);
        return LockResult::Recovered;
    case ETIMEDOUT:
        return LockResult::TimedOut;
    default:
        return LockResult::Failed;
    }
}

void NamedMutex::unlock() {
    if (handle_)
        pthread_mutex_unlock(&handle_->shared()->mutex);
}

void NamedMutex::removeName(const std::u16string& name) {
    SharedMemory::removeName(objectName(name));
}

} // namespace tovi::platform
