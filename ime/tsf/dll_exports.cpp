// The DLL's entry points: process attach and detach, and the four functions of a self-registering
// in-process COM server.
#include "boundary/exception_barrier.h"
#include "boundary/process_host.h"
#include "class_factory.h"
#include "com_object.h"
#include "dll_instance.h"
#include "registration.h"
#include "tsf_compositions.h"
#include "tsf_guids.h"

namespace tovi::tsf {
namespace {

HINSTANCE gInstance = nullptr;

} // namespace

std::atomic<long>& serverReferences() {
    static std::atomic<long> references{0};
    return references;
}

HINSTANCE dllInstance() {
    return gInstance;
}

void setDllInstance(HINSTANCE instance) {
    gInstance = instance;
}

std::wstring dllPath() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(gInstance, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    return std::wstring(path, length);
}

} // namespace tovi::tsf

using namespace tovi;
using namespace tovi::tsf;

// Attach makes the process's host (the same one the IMM32 module makes) with the compositions
// going to the text services; detach frees it unless the process is ending.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        DisableThreadLibraryCalls(instance);
        setDllInstance(instance);
        InitGlobals(instance);
        if (ProcessHost* host = processHost())
            host->setCompositionTarget(&compositions());
        break;
    case DLL_PROCESS_DETACH:
        if (!reserved)
            FreeGlobals();
        break;
    default:
        break;
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!IsEqualCLSID(clsid, kTextServiceClsid))
        return CLASS_E_CLASSNOTAVAILABLE;
    ClassFactory* factory = makeComObject<ClassFactory>();
    if (!factory)
        return E_OUTOFMEMORY;
    const HRESULT result = factory->QueryInterface(iid, out);
    factory->Release();
    return result;
}

extern "C" HRESULT WINAPI DllCanUnloadNow() {
    return serverReferences() == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT WINAPI DllRegisterServer() {
    return guarded<HRESULT>(E_UNEXPECTED, [] { return registerServer(); });
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
    return guarded<HRESULT>(E_UNEXPECTED, [] { return unregisterServer(); });
}
