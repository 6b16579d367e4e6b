// Process attach makes the module's process-wide host; detach frees it, unless the process is
// ending, when the system takes everything back and other threads may have stopped anywhere.
#include "process_host.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        DisableThreadLibraryCalls(instance);
        tovi::InitGlobals(instance);
        break;
    case DLL_PROCESS_DETACH:
        if (!reserved)
            tovi::FreeGlobals();
        break;
    default:
        break;
    }
    return TRUE;
}
