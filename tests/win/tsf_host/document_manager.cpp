#include "document_manager.h"

#include "context.h"
#include "thread_manager.h"

#include <algorithm>

namespace tovi::tsfhost {

DocumentManager::DocumentManager(ThreadManager* threads) : threads_(threads) {}

DocumentManager::~DocumentManager() {
    for (const auto& context : stack_)
        context->detach();
}

Context* DocumentManager::hostContext(ITfContext* context) const {
    for (const auto* list : {&created_, &stack_})
        for (const auto& held : *list)
            if (static_cast<ITfContext*>(held.Get()) == context)
                return held.Get();
    return nullptr;
}

STDMETHODIMP DocumentManager::QueryInterface(REFIID riid, void** object) {
    if (!object)
        return E_INVALIDARG;
    *object = nullptr;
    if (riid != IID_IUnknown && riid != IID_ITfDocumentMgr)
        return E_NOINTERFACE;
    *object = static_cast<ITfDocumentMgr*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP DocumentManager::CreateContext(TfClientId owner, DWORD, IUnknown* store,
                                            ITfContext** context, TfEditCookie* storeCookie) {
    if (!context || !storeCookie)
        return E_INVALIDARG;
    *context = nullptr;
    *storeCookie = TF_INVALID_EDIT_COOKIE;
    Microsoft::WRL::ComPtr<ITextStoreACP> acp;
    // Only ACP stores: the host's documents are one.
    if (!store || FAILED(store->QueryInterface(IID_PPV_ARGS(&acp))))
        return E_INVALIDARG;
    auto created = makeCom<Context>(threads_.Get(), this, owner, acp.Get());
    created_.push_back(created);
    *storeCookie = 1;
    *context = created.Detach();
    return S_OK;
}

STDMETHODIMP DocumentManager::Push(ITfContext* context) {
    Context* host = hostContext(context);
    if (!host)
        return E_INVALIDARG;
    if (stack_.size() >= 2)
        return TF_E_STACKFULL;
    const HRESULT hr = host->attach();
    if (FAILED(hr))
        return hr;
    stack_.emplace_back(host);
    created_.erase(std::remove_if(created_.begin(), created_.end(),
                                  [host](const auto& held) { return held.Get() == host; }),
                   created_.end());
    threads_->contextPushed(context);
    return S_OK;
}

STDMETHODIMP DocumentManager::Pop(DWORD flags) {
    if (stack_.empty())
        return E_FAIL;
    const size_t keep = (flags & TF_POPF_ALL) ? 0 : stack_.size() - 1;
    while (stack_.size() > keep) {
        Microsoft::WRL::ComPtr<Context> top;
        top.Swap(stack_.back());
        stack_.pop_back();
        threads_->contextPopped(top.Get());
        top->detach();
    }
    return S_OK;
}

STDMETHODIMP DocumentManager::GetTop(ITfContext** context) {
    if (!context)
        return E_INVALIDARG;
    *context = stack_.empty() ? nullptr : stack_.back().Get();
    if (*context)
        (*context)->AddRef();
    return S_OK;
}

STDMETHODIMP DocumentManager::GetBase(ITfContext** context) {
    if (!context)
        return E_INVALIDARG;
    *context = stack_.empty() ? nullptr : stack_.front().Get();
    if (*context)
        (*context)->AddRef();
    return S_OK;
}

STDMETHODIMP DocumentManager::EnumContexts(IEnumTfContexts** contexts) {
    if (contexts)
        *contexts = nullptr;
    return E_NOTIMPL;
}

} // namespace tovi::tsfhost
