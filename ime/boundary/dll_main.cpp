// Process attach builds the module's process-wide state; detach saves and frees it.
#include "win32_module.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        DisableThreadLibraryCalls(instance);
        tovi::InitGlobals(instance);
        break;
    case DLL_PROCESS_DETACH:
        tovi::FreeGlobals();
        break;
    default:
        break;
    }
    return TRUE;
}
