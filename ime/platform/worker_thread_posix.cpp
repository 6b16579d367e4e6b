#include "worker_thread.h"

#include <system_error>
#include <thread>

namespace tovi::platform {

bool startWorker(std::function<void()> work) {
    try {
        std::thread(std::move(work)).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

} // namespace tovi::platform
