// A background thread that nobody joins. On Windows it keeps the module loaded until it ends, so
// that unloading the module never pulls its code from under the thread and detach never waits.
#pragma once

#include <functional>

namespace tovi::platform {

// Runs `work` on a new thread; false when no thread could be started (no exception leaves it).
// `work` must not throw: nothing on the new thread catches for it.
bool startWorker(std::function<void()> work) noexcept;

} // namespace tovi::platform
