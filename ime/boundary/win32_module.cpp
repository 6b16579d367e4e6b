#include "win32_module.h"

#include "messages.h"
#include "module.h"
#include "platform/install_folder.h"
#include "window_classes.h"

#include <new>

namespace tovi {
namespace {

std::unique_ptr<Win32Module>& owner() {
    static std::unique_ptr<Win32Module> module;
    return module;
}

HIMC toHimc(ContextHandle context) {
    return reinterpret_cast<HIMC>(context);
}

HBITMAP loadBitmap(const wchar_t* name) {
    const std::u16string path = platform::installFilePath(reinterpret_cast<const char16_t*>(name));
    return static_cast<HBITMAP>(LoadImageW(nullptr, reinterpret_cast<LPCWSTR>(path.c_str()),
                                           IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
}

} // namespace

Win32Module::Win32Module(HINSTANCE instance) : instance_(instance) {}

Win32Module::~Win32Module() = default;

bool Win32Module::generateMessage(ContextHandle context, std::uint32_t message,
                                  std::uintptr_t wParam, std::intptr_t lParam) {
    return tovi::generateMessage(toHimc(context), message, wParam, lParam);
}

void Win32Module::commitText(ContextHandle context, std::u16string_view text) {
    tovi::commitText(toHimc(context), text);
}

void Win32Module::endComposition(ContextHandle context, bool withResult) {
    tovi::endComposition(toHimc(context), withResult);
}

void Win32Module::invalidateWindows() {
    candidateWindow.invalidate();
    promptWindow.invalidate();
    infoWindow.invalidate();
}

Win32Module* win32Module() {
    return owner().get();
}

void initGlobals(HINSTANCE instance) {
    try {
        owner() = std::make_unique<Win32Module>(instance);
    } catch (const std::bad_alloc&) {
        return;
    }
    Win32Module& win32 = *owner();
    // The instance number, the settings and the engine.
    if (!attachModule(win32)) {
        owner().reset();
        return;
    }
    win32.candidateBitmap.reset(loadBitmap(L"tovi_cand.bmp"));
    win32.statusBitmap.reset(loadBitmap(L"tovi.bmp"));
    Module& module = *modulePtr();
    module.engine().sendCompositionUpdate(); // no context yet: nothing is sent
    module.resetInput();
    registerClasses(instance);
}

void freeGlobals() {
    unregisterClasses();
    if (Win32Module* win32 = win32Module(); win32 && win32->timer) {
        KillTimer(nullptr, win32->timer);
        win32->timer = 0;
    }
    detachModule(); // saves the settings
    owner().reset();
}

} // namespace tovi
