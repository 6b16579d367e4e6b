#include "thread_manager.h"

#include "document_manager.h"

#include <algorithm>

namespace tovi::tsfhost {

ThreadManager::ThreadManager() {
    // Without the system's manager the host still runs; only compartments are missing then.
    CoCreateInstance(CLSID_TF_ThreadMgr, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&system_));
}

Microsoft::WRL::ComPtr<ITfCompartmentMgr> ThreadManager::newContextCompartments() {
    Microsoft::WRL::ComPtr<ITfCompartmentMgr> compartments;
    Microsoft::WRL::ComPtr<ITfDocumentMgr> document;
    Microsoft::WRL::ComPtr<ITfContext> context;
    TfEditCookie cookie = TF_INVALID_EDIT_COOKIE;
    // A context without a store: only its compartments are used, and they keep it alive.
    if (system_ && SUCCEEDED(system_->CreateDocumentMgr(&document)) &&
        SUCCEEDED(document->CreateContext(TF_CLIENTID_NULL, 0, nullptr, &context, &cookie)))
        context.As(&compartments);
    return compartments;
}

TfClientId ThreadManager::newClient(REFCLSID clsid) {
    const TfClientId client = ++lastClient_;
    clients_[client] = clsid;
    return client;
}

CLSID ThreadManager::clsidOf(TfClientId client) const {
    const auto found = clients_.find(client);
    return found == clients_.end() ? CLSID_NULL : found->second;
}

HRESULT ThreadManager::activateTextService(REFCLSID clsid) {
    if (!active_)
        return E_UNEXPECTED;
    Microsoft::WRL::ComPtr<ITfTextInputProcessor> processor;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&processor));
    if (FAILED(hr))
        return hr;
    const TfClientId client = newClient(clsid);
    Microsoft::WRL::ComPtr<ITfTextInputProcessorEx> extended;
    if (SUCCEEDED(processor.As(&extended)))
        hr = extended->ActivateEx(this, client, 0);
    else
        hr = processor->Activate(this, client);
    if (FAILED(hr)) {
        processor->Deactivate();
        clients_.erase(client);
        return hr;
    }
    services_.push_back(Service{clsid, client, processor});
    return S_OK;
}

void ThreadManager::deactivateTextServices() {
    while (!services_.empty()) {
        const Service service = services_.back();
        services_.pop_back();
        service.processor->Deactivate();
        // What a text service leaves behind goes with it.
        keySinks_.erase(
            std::remove_if(keySinks_.begin(), keySinks_.end(),
                           [&](const KeySink& sink) { return sink.client == service.client; }),
            keySinks_.end());
        preserved_.erase(
            std::remove_if(preserved_.begin(), preserved_.end(),
                           [&](const PreservedKey& key) { return key.client == service.client; }),
            preserved_.end());
        if (foreground_ == service.client)
            foreground_ = TF_CLIENTID_NULL;
    }
}

void ThreadManager::windowFocused(HWND window) {
    const auto found = associations_.find(window);
    if (found != associations_.end())
        SetFocus(found->second.Get());
}

std::vector<Microsoft::WRL::ComPtr<ITfLangBarItem>> ThreadManager::languageBarItems() const {
    return items_;
}

void ThreadManager::contextPushed(ITfContext* context) {
    const auto sinks = eventSinks_;
    for (const EventSink& sink : sinks) {
        Microsoft::WRL::ComPtr<ITfThreadMgrEventSink> events;
        if (sink.iid == IID_ITfThreadMgrEventSink && SUCCEEDED(sink.sink.As(&events)))
            events->OnPushContext(context);
    }
}

void ThreadManager::contextPopped(ITfContext* context) {
    const auto sinks = eventSinks_;
    for (const EventSink& sink : sinks) {
        Microsoft::WRL::ComPtr<ITfThreadMgrEventSink> events;
        if (sink.iid == IID_ITfThreadMgrEventSink && SUCCEEDED(sink.sink.As(&events)))
            events->OnPopContext(context);
    }
}

Microsoft::WRL::ComPtr<ITfContext> ThreadManager::focusedContext() const {
    Microsoft::WRL::ComPtr<ITfContext> top;
    if (focus_)
        focus_->GetTop(&top);
    return top;
}

STDMETHODIMP ThreadManager::QueryInterface(REFIID riid, void** object) {
    if (!object)
        return E_INVALIDARG;
    *object = nullptr;
    if (riid == IID_IUnknown || riid == IID_ITfThreadMgr || riid == IID_ITfThreadMgrEx)
        *object = static_cast<ITfThreadMgrEx*>(this);
    else if (riid == IID_ITfKeystrokeMgr)
        *object = static_cast<ITfKeystrokeMgr*>(this);
    else if (riid == IID_ITfSource)
        *object = static_cast<ITfSource*>(this);
    else if (riid == IID_ITfLangBarItemMgr)
        *object = static_cast<ITfLangBarItemMgr*>(this);
    else if (riid == IID_ITfUIElementMgr)
        *object = static_cast<ITfUIElementMgr*>(this);
    else if (system_ && (riid == IID_ITfCompartmentMgr || riid == IID_ITfSourceSingle))
        return system_->QueryInterface(riid, object);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP ThreadManager::Activate(TfClientId* client) {
    return ActivateEx(client, 0);
}

STDMETHODIMP ThreadManager::ActivateEx(TfClientId* client, DWORD) {
    if (!client)
        return E_INVALIDARG;
    if (!active_) {
        active_ = true;
        application_ = newClient(CLSID_NULL);
    }
    *client = application_;
    return S_OK;
}

STDMETHODIMP ThreadManager::GetActiveFlags(DWORD* flags) {
    if (!flags)
        return E_INVALIDARG;
    *flags = 0;
    return S_OK;
}

STDMETHODIMP ThreadManager::Deactivate() {
    if (!active_)
        return E_UNEXPECTED;
    deactivateTextServices();
    SetFocus(nullptr);
    associations_.clear();
    eventSinks_.clear();
    items_.clear();
    itemSinks_.clear();
    elements_.clear();
    active_ = false;
    return S_OK;
}

STDMETHODIMP ThreadManager::CreateDocumentMgr(ITfDocumentMgr** manager) {
    if (!manager)
        return E_INVALIDARG;
    auto created = makeCom<DocumentManager>(this);
    const auto sinks = eventSinks_;
    for (const EventSink& sink : sinks) {
        Microsoft::WRL::ComPtr<ITfThreadMgrEventSink> events;
        if (sink.iid == IID_ITfThreadMgrEventSink && SUCCEEDED(sink.sink.As(&events)))
            events->OnInitDocumentMgr(created.Get());
    }
    *manager = created.Detach();
    return S_OK;
}

STDMETHODIMP ThreadManager::EnumDocumentMgrs(IEnumTfDocumentMgrs** managers) {
    if (managers)
        *managers = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ThreadManager::GetFocus(ITfDocumentMgr** focus) {
    if (!focus)
        return E_INVALIDARG;
    *focus = focus_.Get();
    if (*focus)
        (*focus)->AddRef();
    return S_OK;
}

STDMETHODIMP ThreadManager::SetFocus(ITfDocumentMgr* focus) {
    if (focus_.Get() == focus)
        return S_OK;
    const Microsoft::WRL::ComPtr<ITfDocumentMgr> previous = focus_;
    focus_ = focus;
    const auto sinks = eventSinks_;
    for (const EventSink& sink : sinks) {
        Microsoft::WRL::ComPtr<ITfThreadMgrEventSink> events;
        if (sink.iid == IID_ITfThreadMgrEventSink && SUCCEEDED(sink.sink.As(&events)))
            events->OnSetFocus(focus, previous.Get());
    }
    return S_OK;
}

STDMETHODIMP ThreadManager::AssociateFocus(HWND window, ITfDocumentMgr* manager,
                                           ITfDocumentMgr** previous) {
    if (!window || !previous)
        return E_INVALIDARG;
    *previous = nullptr;
    const auto found = associations_.find(window);
    if (found != associations_.end())
        *previous = found->second.Detach();
    if (manager)
        associations_[window] = manager;
    else
        associations_.erase(window);
    if (manager && ::GetFocus() == window)
        SetFocus(manager);
    return S_OK;
}

STDMETHODIMP ThreadManager::IsThreadFocus(BOOL* focus) {
    if (!focus)
        return E_INVALIDARG;
    *focus = TRUE;
    return S_OK;
}

STDMETHODIMP ThreadManager::GetFunctionProvider(REFCLSID, ITfFunctionProvider** provider) {
    if (provider)
        *provider = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ThreadManager::EnumFunctionProviders(IEnumTfFunctionProviders** providers) {
    if (providers)
        *providers = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ThreadManager::GetGlobalCompartment(ITfCompartmentMgr** compartments) {
    if (!compartments)
        return E_INVALIDARG;
    *compartments = nullptr;
    return system_ ? system_->GetGlobalCompartment(compartments) : E_NOTIMPL;
}

STDMETHODIMP ThreadManager::AdviseSink(REFIID riid, IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie)
        return E_INVALIDARG;
    *cookie = TF_INVALID_COOKIE;
    Microsoft::WRL::ComPtr<IUnknown> typed;
    if (FAILED(sink->QueryInterface(riid, reinterpret_cast<void**>(typed.GetAddressOf()))))
        return E_INVALIDARG;
    *cookie = nextCookie_++;
    eventSinks_.push_back(EventSink{*cookie, riid, typed});
    return S_OK;
}

STDMETHODIMP ThreadManager::UnadviseSink(DWORD cookie) {
    const auto found =
        std::find_if(eventSinks_.begin(), eventSinks_.end(),
                     [cookie](const EventSink& sink) { return sink.cookie == cookie; });
    if (found == eventSinks_.end())
        return CONNECT_E_NOCONNECTION;
    eventSinks_.erase(found);
    return S_OK;
}

} // namespace tovi::tsfhost
