// An edit session that runs a function with the granted cookie: what the host itself edits or
// reads with.
#pragma once

#include "com_object.h"
#include "tsf_declarations.h"

#include <functional>

namespace tovi::tsfhost {

class FunctionSession final : public ITfEditSession {
public:
    explicit FunctionSession(std::function<HRESULT(TfEditCookie)> body) : body_(std::move(body)) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (!object)
            return E_INVALIDARG;
        *object = nullptr;
        if (riid != IID_IUnknown && riid != IID_ITfEditSession)
            return E_NOINTERFACE;
        *object = static_cast<ITfEditSession*>(this);
        AddRef();
        return S_OK;
    }
    TOVI_TSFHOST_REFCOUNT(FunctionSession)
    STDMETHODIMP DoEditSession(TfEditCookie ec) override { return body_(ec); }

private:
    ~FunctionSession() = default;
    ULONG references_ = 1;
    std::function<HRESULT(TfEditCookie)> body_;
};

} // namespace tovi::tsfhost
