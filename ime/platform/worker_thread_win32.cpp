#include "worker_thread.h"

#include <memory>
#include <windows.h>

namespace tovi::platform {
namespace {

struct Start {
    std::function<void()> work;
    HMODULE pinned;
};

DWORD WINAPI run(LPVOID parameter) {
    std::unique_ptr<Start> start(static_cast<Start*>(parameter));
    const HMODULE pinned = start->pinned;
    start->work();
    start.reset();
    // Releases this thread's hold on the module and ends the thread without returning into
    // code that may be unloaded.
    FreeLibraryAndExitThread(pinned, 0);
}

} // namespace

bool startWorker(std::function<void()> work) noexcept {
    HMODULE pinned = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&run),
                            &pinned))
        return false;
    std::unique_ptr<Start> start;
    try {
        start = std::make_unique<Start>(Start{std::move(work), pinned});
    } catch (...) {
        FreeLibrary(pinned);
        return false;
    }
    const HANDLE thread = CreateThread(nullptr, 0, run, start.get(), 0, nullptr);
    if (!thread) {
        FreeLibrary(pinned);
        return false;
    }
    start.release(); // the thread owns it now
    CloseHandle(thread);
    return true;
}

} // namespace tovi::platform
