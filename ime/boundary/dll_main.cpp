// Process attach builds the module's process-wide state; detach saves and frees it.
#include "module.h"

#include <windows.h>

namespace {
HINSTANCE gInstance = nullptr;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        gInstance = instance;
        DisableThreadLibraryCalls(instance);
        tovi::attachModule();
        break;
    case DLL_PROCESS_DETACH:
        tovi::detachModule();
        gInstance = nullptr;
        break;
    default:
        break;
    }
    return TRUE;
}
