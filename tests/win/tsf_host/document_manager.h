// A document manager of the host: the stack of contexts (at most two) of one document.
#pragma once

#include "com_object.h"
#include "tsf_declarations.h"

#include <vector>

namespace tovi::tsfhost {

class Context;
class ThreadManager;

class DocumentManager final : public ITfDocumentMgr {
public:
    explicit DocumentManager(ThreadManager* threads);
    // The host context behind a context this manager created, or null.
    Context* hostContext(ITfContext* context) const;

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
    TOVI_TSFHOST_REFCOUNT(DocumentManager)

    STDMETHODIMP CreateContext(TfClientId owner, DWORD flags, IUnknown* store, ITfContext** context,
                               TfEditCookie* storeCookie) override;
    STDMETHODIMP Push(ITfContext* context) override;
    STDMETHODIMP Pop(DWORD flags) override;
    STDMETHODIMP GetTop(ITfContext** context) override;
    STDMETHODIMP GetBase(ITfContext** context) override;
    STDMETHODIMP EnumContexts(IEnumTfContexts** contexts) override;

private:
    ~DocumentManager();
    ULONG references_ = 1;
    Microsoft::WRL::ComPtr<ThreadManager> threads_;
    // Contexts created and not yet pushed, and the stack (bottom first).
    std::vector<Microsoft::WRL::ComPtr<Context>> created_;
    std::vector<Microsoft::WRL::ComPtr<Context>> stack_;
};

} // namespace tovi::tsfhost
