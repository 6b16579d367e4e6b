#include "worker_thread.h"

#include <thread>

namespace tovi::platform {

bool startWorker(std::function<void()> work) noexcept {
    try {
        std::thread(std::move(work)).detach();
        return true;
    } catch (...) {
        // std::system_error when the system has no thread to give, std::bad_alloc when the
        // thread's state cannot be allocated.
        return false;
    }
}

} // namespace tovi::platform
