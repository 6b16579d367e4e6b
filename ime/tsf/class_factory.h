// The class object DllGetClassObject hands out: it makes text service objects.
#pragma once

#include "com_object.h"

#include <unknwn.h>

namespace tovi::tsf {

class ClassFactory final : public IClassFactory, public RefCounted<ClassFactory> {
public:
    TOVI_COM_REFCOUNT
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;
};

} // namespace tovi::tsf
