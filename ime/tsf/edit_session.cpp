#include "edit_session.h"

#include "boundary/exception_barrier.h"

namespace tovi::tsf {

HRESULT EditSession::QueryInterface(REFIID iid, void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_ITfEditSession))
        return E_NOINTERFACE;
    *out = static_cast<ITfEditSession*>(this);
    AddRef();
    return S_OK;
}

HRESULT EditSession::DoEditSession(TfEditCookie cookie) {
    return guarded<HRESULT>(E_FAIL, [&] {
        if (body_)
            body_(cookie);
        return S_OK;
    });
}

bool requestEditSession(ITfContext* context, TfClientId client, bool synchronous,
                        std::function<void(TfEditCookie)> body) {
    if (!context)
        return false;
    EditSession* session = makeComObject<EditSession>(std::move(body));
    if (!session)
        return false;
    HRESULT sessionResult = E_FAIL;
    const DWORD flags = TF_ES_READWRITE | (synchronous ? TF_ES_SYNC : TF_ES_ASYNCDONTCARE);
    const HRESULT result = context->RequestEditSession(client, session, flags, &sessionResult);
    session->Release();
    return SUCCEEDED(result) && SUCCEEDED(sessionResult);
}

} // namespace tovi::tsf
