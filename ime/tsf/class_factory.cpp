#include "class_factory.h"

#include "boundary/exception_barrier.h"
#include "text_service.h"

namespace tovi::tsf {

HRESULT ClassFactory::QueryInterface(REFIID iid, void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory))
        return E_NOINTERFACE;
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    return guarded<HRESULT>(E_UNEXPECTED, [&] {
        TextService* service = makeComObject<TextService>();
        if (!service)
            return E_OUTOFMEMORY;
        const HRESULT result = service->QueryInterface(iid, out);
        service->Release();
        return result;
    });
}

HRESULT ClassFactory::LockServer(BOOL lock) {
    if (lock)
        ++serverReferences();
    else
        --serverReferences();
    return S_OK;
}

} // namespace tovi::tsf
