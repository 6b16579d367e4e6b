#include "context.h"

#include "composition.h"
#include "context_view.h"
#include "edit_record.h"
#include "function_session.h"
#include "property.h"
#include "range.h"
#include "thread_manager.h"

#include <algorithm>

namespace tovi::tsfhost {
Context::Context(ThreadManager* threads, ITfDocumentMgr* manager, TfClientId owner,
                 ITextStoreACP* store)
    : threads_(threads), manager_(manager), owner_(owner), store_(store) {}

Context::~Context() = default;

HRESULT Context::attach() {
    if (attached_)
        return S_OK;
    const HRESULT hr = store_->AdviseSink(IID_ITextStoreACPSink,
                                          static_cast<ITextStoreACPSink*>(this), TS_AS_ALL_SINKS);
    attached_ = SUCCEEDED(hr);
    return hr;
}

void Context::detach() {
    // Kept alive until the end: the store's sink reference may be the last.
    Microsoft::WRL::ComPtr<Context> self(this);
    if (attached_)
        store_->UnadviseSink(static_cast<ITextStoreACPSink*>(this));
    attached_ = false;
    for (const auto& composition : compositions_)
        composition->release();
    compositions_.clear();
    for (const auto& [guid, property] : properties_)
        property->release();
    properties_.clear();
    sinks_.clear();
    queue_.clear();
    manager_.Reset();
}

std::vector<std::pair<LONG, LONG>> Context::compositionSpans() const {
    std::vector<std::pair<LONG, LONG>> spans;
    for (const auto& composition : compositions_)
        spans.emplace_back(composition->range().start(), composition->range().end());
    return spans;
}

VARIANT Context::propertyValueAt(REFGUID guid, LONG position) const {
    const auto found = properties_.find(guid);
    if (found != properties_.end())
        return found->second->valueAt(position);
    VARIANT empty;
    VariantInit(&empty);
    return empty;
}

HRESULT Context::terminateCompositions() {
    if (compositions_.empty())
        return S_FALSE;
    auto session = makeCom<FunctionSession>([this](TfEditCookie ec) {
        const auto ending = std::move(compositions_);
        compositions_.clear();
        for (const auto& composition : ending)
            composition->terminate(ec);
        return S_OK;
    });
    HRESULT result = E_FAIL;
    const HRESULT hr =
        RequestEditSession(owner_, session.Get(), TF_ES_SYNC | TF_ES_READWRITE, &result);
    return FAILED(hr) ? hr : result;
}

void Context::untrack(Range* range) {
    ranges_.erase(std::remove(ranges_.begin(), ranges_.end(), range), ranges_.end());
}

HRESULT Context::replace(LONG start, LONG end, const WCHAR* text, LONG count, LONG* newEnd) {
    TS_TEXTCHANGE change{};
    const HRESULT hr = store_->SetText(0, start, end, text, static_cast<ULONG>(count), &change);
    if (FAILED(hr))
        return hr;
    for (Range* range : ranges_)
        range->adjust(change.acpStart, change.acpOldEnd, change.acpNewEnd);
    changed_ = true;
    selectionChanged_ = true;
    if (newEnd)
        *newEnd = change.acpNewEnd;
    return S_OK;
}

HRESULT Context::length(LONG* end) {
    return store_->GetEndACP(end);
}

void Context::removeComposition(Composition* composition) {
    compositions_.erase(
        std::remove_if(compositions_.begin(), compositions_.end(),
                       [composition](const auto& held) { return held.Get() == composition; }),
        compositions_.end());
}

CLSID Context::sessionOwner() const {
    return threads_->clsidOf(sessionClient_);
}

STDMETHODIMP Context::QueryInterface(REFIID riid, void** object) {
    if (!object)
        return E_INVALIDARG;
    *object = nullptr;
    if (riid == IID_IUnknown || riid == IID_ITfContext)
        *object = static_cast<ITfContext*>(this);
    else if (riid == IID_ITfInsertAtSelection)
        *object = static_cast<ITfInsertAtSelection*>(this);
    else if (riid == IID_ITfContextComposition)
        *object = static_cast<ITfContextComposition*>(this);
    else if (riid == IID_ITfSource)
        *object = static_cast<ITfSource*>(this);
    else if (riid == IID_ITextStoreACPSink)
        *object = static_cast<ITextStoreACPSink*>(this);
    else if (riid == IID_ITfCompartmentMgr) {
        if (!compartments_)
            compartments_ = threads_->newContextCompartments();
        return compartments_ ? compartments_.CopyTo(reinterpret_cast<ITfCompartmentMgr**>(object))
                             : E_NOINTERFACE;
    } else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

// --- Edit sessions -----------------------------------------------------------------------------

STDMETHODIMP Context::RequestEditSession(TfClientId client, ITfEditSession* session, DWORD flags,
                                         HRESULT* result) {
    if (!session || !result)
        return E_INVALIDARG;
    *result = E_FAIL;
    if ((flags & TF_ES_SYNC) && (flags & TF_ES_ASYNC))
        return E_INVALIDARG;
    if (!attached_)
        return TF_E_DISCONNECTED;
    const bool write = (flags & TF_ES_READWRITE) == TF_ES_READWRITE;
    const DWORD access = write ? TS_LF_READWRITE : TS_LF_READ;
    Microsoft::WRL::ComPtr<Context> self(this);
    if (flags & TF_ES_SYNC) {
        const Request request{session, client, write};
        syncRequest_ = &request;
        HRESULT granted = E_FAIL;
        const HRESULT hr = store_->RequestLock(TS_LF_SYNC | access, &granted);
        syncRequest_ = nullptr;
        if (FAILED(hr))
            return hr;
        *result = granted == TS_E_SYNCHRONOUS ? TF_E_SYNCHRONOUS : granted;
        return S_OK;
    }
    queue_.push_back(Request{session, client, write});
    HRESULT granted = E_FAIL;
    const HRESULT hr = store_->RequestLock(access, &granted);
    if (FAILED(hr)) {
        queue_.pop_back();
        return hr;
    }
    *result = granted == TS_S_ASYNC ? TF_S_ASYNC : granted;
    return S_OK;
}

STDMETHODIMP Context::OnLockGranted(DWORD flags) {
    Microsoft::WRL::ComPtr<Context> self(this);
    if (syncRequest_) {
        const Request* request = syncRequest_;
        syncRequest_ = nullptr;
        return run(*request);
    }
    const bool write = (flags & TS_LF_READWRITE) == TS_LF_READWRITE;
    auto pending = std::move(queue_);
    queue_.clear();
    HRESULT last = S_OK;
    for (const Request& request : pending) {
        if (request.write && !write) {
            queue_.push_back(request);
            continue;
        }
        last = run(request);
    }
    // Read-write sessions left behind a read-only grant ask again; the store queues the request
    // behind the lock it holds now.
    if (!queue_.empty()) {
        HRESULT ignored = S_OK;
        store_->RequestLock(TS_LF_READWRITE, &ignored);
    }
    return last;
}

HRESULT Context::run(const Request& request) {
    cookie_ = ++lastCookie_;
    writable_ = request.write;
    sessionClient_ = request.client;
    changed_ = false;
    selectionChanged_ = false;
    const HRESULT hr = request.session->DoEditSession(cookie_);
    if (request.write && (changed_ || selectionChanged_)) {
        // The text-edit sinks learn of the changes inside the lock, with a read-only cookie.
        cookie_ = ++lastCookie_;
        writable_ = false;
        auto record = makeCom<EditRecord>(selectionChanged_);
        const auto sinks = sinks_;
        for (const Sink& sink : sinks) {
            Microsoft::WRL::ComPtr<ITfTextEditSink> edits;
            if (sink.iid == IID_ITfTextEditSink && SUCCEEDED(sink.sink.As(&edits)))
                edits->OnEndEdit(this, cookie_, record.Get());
        }
    }
    cookie_ = 0;
    writable_ = false;
    sessionClient_ = TF_CLIENTID_NULL;
    return hr;
}

STDMETHODIMP Context::InWriteSession(TfClientId client, BOOL* writing) {
    if (!writing)
        return E_INVALIDARG;
    *writing = cookie_ != 0 && writable_ && client == sessionClient_;
    return S_OK;
}

// --- Selection and ends ------------------------------------------------------------------------

STDMETHODIMP Context::GetSelection(TfEditCookie ec, ULONG index, ULONG count,
                                   TF_SELECTION* selection, ULONG* fetched) {
    if (!selection || !fetched)
        return E_INVALIDARG;
    *fetched = 0;
    if (!canRead(ec))
        return TF_E_NOLOCK;
    if (count == 0)
        return S_OK;
    TS_SELECTION_ACP acp{};
    ULONG got = 0;
    const HRESULT hr = store_->GetSelection(index == static_cast<ULONG>(TF_DEFAULT_SELECTION)
                                                ? static_cast<ULONG>(TS_DEFAULT_SELECTION)
                                                : index,
                                            1, &acp, &got);
    if (FAILED(hr))
        return hr;
    if (got == 1) {
        selection[0].range = makeCom<Range>(this, acp.acpStart, acp.acpEnd).Detach();
        selection[0].style.ase = static_cast<TfActiveSelEnd>(acp.style.ase);
        selection[0].style.fInterimChar = acp.style.fInterimChar;
        *fetched = 1;
    }
    return S_OK;
}

STDMETHODIMP Context::SetSelection(TfEditCookie ec, ULONG count, const TF_SELECTION* selection) {
    if (!selection || count != 1)
        return E_INVALIDARG;
    Range* range = Range::from(selection[0].range);
    if (!range)
        return E_INVALIDARG;
    if (!canWrite(ec))
        return TF_E_NOLOCK;
    TS_SELECTION_ACP acp{};
    acp.acpStart = range->start();
    acp.acpEnd = range->end();
    acp.style.ase = static_cast<TsActiveSelEnd>(selection[0].style.ase);
    acp.style.fInterimChar = selection[0].style.fInterimChar;
    const HRESULT hr = store_->SetSelection(1, &acp);
    if (SUCCEEDED(hr))
        selectionChanged_ = true;
    return hr;
}

STDMETHODIMP Context::GetStart(TfEditCookie ec, ITfRange** start) {
    if (!start)
        return E_INVALIDARG;
    *start = nullptr;
    if (!canRead(ec))
        return TF_E_NOLOCK;
    *start = makeCom<Range>(this, 0, 0).Detach();
    return S_OK;
}

STDMETHODIMP Context::GetEnd(TfEditCookie ec, ITfRange** end) {
    if (!end)
        return E_INVALIDARG;
    *end = nullptr;
    if (!canRead(ec))
        return TF_E_NOLOCK;
    LONG length = 0;
    const HRESULT hr = store_->GetEndACP(&length);
    if (FAILED(hr))
        return hr;
    *end = makeCom<Range>(this, length, length).Detach();
    return S_OK;
}

// --- View, status, properties ------------------------------------------------------------------

STDMETHODIMP Context::GetActiveView(ITfContextView** view) {
    if (!view)
        return E_INVALIDARG;
    *view = makeCom<ContextView>(this).Detach();
    return S_OK;
}

STDMETHODIMP Context::EnumViews(IEnumTfContextViews** views) {
    if (views)
        *views = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP Context::GetStatus(TF_STATUS* status) {
    if (!status)
        return E_INVALIDARG;
    TS_STATUS store{};
    const HRESULT hr = store_->GetStatus(&store);
    status->dwDynamicFlags = store.dwDynamicFlags;
    status->dwStaticFlags = store.dwStaticFlags;
    return hr;
}

STDMETHODIMP Context::GetProperty(REFGUID guid, ITfProperty** property) {
    if (!property)
        return E_INVALIDARG;
    *property = nullptr;
    if (!attached_)
        return TF_E_DISCONNECTED;
    auto& held = properties_[guid];
    if (!held)
        held = makeCom<Property>(this, guid);
    *property = held.Get();
    held->AddRef();
    return S_OK;
}

STDMETHODIMP Context::GetAppProperty(REFGUID, ITfReadOnlyProperty** property) {
    if (property)
        *property = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP Context::TrackProperties(const GUID**, ULONG, const GUID**, ULONG,
                                      ITfReadOnlyProperty** property) {
    if (property)
        *property = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP Context::EnumProperties(IEnumTfProperties** properties) {
    if (properties)
        *properties = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP Context::GetDocumentMgr(ITfDocumentMgr** manager) {
    if (!manager)
        return E_INVALIDARG;
    *manager = manager_.Get();
    if (!*manager)
        return S_FALSE;
    (*manager)->AddRef();
    return S_OK;
}

STDMETHODIMP Context::CreateRangeBackup(TfEditCookie, ITfRange*, ITfRangeBackup** backup) {
    if (backup)
        *backup = nullptr;
    return E_NOTIMPL;
}

// --- Insertion ---------------------------------------------------------------------------------

STDMETHODIMP Context::InsertTextAtSelection(TfEditCookie ec, DWORD flags, const WCHAR* text,
                                            LONG count, ITfRange** range) {
    if (range)
        *range = nullptr;
    if (!text && count > 0)
        return E_INVALIDARG;
    if (count < 0)
        count = text ? static_cast<LONG>(wcslen(text)) : 0;
    LONG start = 0, end = 0;
    if (flags & TF_IAS_QUERYONLY) {
        if (!range)
            return E_INVALIDARG;
        if (!canRead(ec))
            return TF_E_NOLOCK;
        const HRESULT hr =
            store_->InsertTextAtSelection(TS_IAS_QUERYONLY, nullptr, 0, &start, &end, nullptr);
        if (FAILED(hr))
            return hr;
        *range = makeCom<Range>(this, start, end).Detach();
        return S_OK;
    }
    if (!canWrite(ec))
        return TF_E_NOLOCK;
    TS_TEXTCHANGE change{};
    const HRESULT hr =
        store_->InsertTextAtSelection(0, text, static_cast<ULONG>(count), &start, &end, &change);
    if (FAILED(hr))
        return hr;
    for (Range* each : ranges_)
        each->adjust(change.acpStart, change.acpOldEnd, change.acpNewEnd);
    changed_ = true;
    selectionChanged_ = true;
    if (range && !(flags & TF_IAS_NOQUERY))
        *range = makeCom<Range>(this, start, end).Detach();
    return S_OK;
}

STDMETHODIMP Context::InsertEmbeddedAtSelection(TfEditCookie, DWORD, IDataObject*,
                                                ITfRange** range) {
    if (range)
        *range = nullptr;
    return E_NOTIMPL;
}

// --- Compositions ------------------------------------------------------------------------------

STDMETHODIMP Context::StartComposition(TfEditCookie ec, ITfRange* range, ITfCompositionSink* sink,
                                       ITfComposition** composition) {
    if (!composition)
        return E_INVALIDARG;
    *composition = nullptr;
    Range* host = Range::from(range);
    if (!host)
        return E_INVALIDARG;
    if (!canWrite(ec))
        return TF_E_NOLOCK;
    // The composition's own range grows with text typed at its end.
    auto own = host->clone();
    own->setGravity(TF_GRAVITY_BACKWARD, TF_GRAVITY_FORWARD);
    auto started = makeCom<Composition>(this, own, sink, sessionOwner());
    compositions_.push_back(started);
    *composition = started.Detach();
    return S_OK;
}

STDMETHODIMP Context::EnumCompositions(IEnumITfCompositionView** compositions) {
    if (!compositions)
        return E_INVALIDARG;
    std::vector<Microsoft::WRL::ComPtr<ITfCompositionView>> views(compositions_.begin(),
                                                                  compositions_.end());
    *compositions = makeCom<CompositionEnum>(std::move(views)).Detach();
    return S_OK;
}

STDMETHODIMP Context::FindComposition(TfEditCookie ec, ITfRange* range,
                                      IEnumITfCompositionView** compositions) {
    if (!compositions)
        return E_INVALIDARG;
    *compositions = nullptr;
    if (!canRead(ec))
        return TF_E_NOLOCK;
    Range* host = range ? Range::from(range) : nullptr;
    if (range && !host)
        return E_INVALIDARG;
    std::vector<Microsoft::WRL::ComPtr<ITfCompositionView>> views;
    for (const auto& held : compositions_)
        if (!host || (held->range().start() <= host->end() && host->start() <= held->range().end()))
            views.emplace_back(held.Get());
    *compositions = makeCom<CompositionEnum>(std::move(views)).Detach();
    return S_OK;
}

STDMETHODIMP Context::TakeOwnership(TfEditCookie, ITfCompositionView*, ITfCompositionSink*,
                                    ITfComposition** composition) {
    if (composition)
        *composition = nullptr;
    return E_NOTIMPL;
}

// --- Sinks -------------------------------------------------------------------------------------

STDMETHODIMP Context::AdviseSink(REFIID riid, IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie)
        return E_INVALIDARG;
    *cookie = TF_INVALID_COOKIE;
    if (riid != IID_ITfTextEditSink && riid != IID_ITfTextLayoutSink)
        return CONNECT_E_CANNOTCONNECT;
    Microsoft::WRL::ComPtr<IUnknown> typed;
    if (FAILED(sink->QueryInterface(riid, reinterpret_cast<void**>(typed.GetAddressOf()))))
        return E_INVALIDARG;
    *cookie = nextSinkCookie_++;
    sinks_.push_back(Sink{*cookie, riid, typed});
    return S_OK;
}

STDMETHODIMP Context::UnadviseSink(DWORD cookie) {
    const auto found = std::find_if(sinks_.begin(), sinks_.end(),
                                    [cookie](const Sink& sink) { return sink.cookie == cookie; });
    if (found == sinks_.end())
        return CONNECT_E_NOCONNECTION;
    sinks_.erase(found);
    return S_OK;
}

// --- The store's notifications of the application's own changes ---------------------------------

STDMETHODIMP Context::OnTextChange(DWORD, const TS_TEXTCHANGE* change) {
    if (!change)
        return E_INVALIDARG;
    for (Range* range : ranges_)
        range->adjust(change->acpStart, change->acpOldEnd, change->acpNewEnd);
    return S_OK;
}

STDMETHODIMP Context::OnSelectionChange() {
    return S_OK;
}

STDMETHODIMP Context::OnLayoutChange(TsLayoutCode code, TsViewCookie) {
    auto view = makeCom<ContextView>(this);
    const auto sinks = sinks_;
    for (const Sink& sink : sinks) {
        Microsoft::WRL::ComPtr<ITfTextLayoutSink> layout;
        if (sink.iid == IID_ITfTextLayoutSink && SUCCEEDED(sink.sink.As(&layout)))
            layout->OnLayoutChange(this, static_cast<TfLayoutCode>(code), view.Get());
    }
    return S_OK;
}

STDMETHODIMP Context::OnStatusChange(DWORD) {
    return S_OK;
}

STDMETHODIMP Context::OnAttrsChange(LONG, LONG, ULONG, const TS_ATTRID*) {
    return S_OK;
}

STDMETHODIMP Context::OnStartEditTransaction() {
    return S_OK;
}

STDMETHODIMP Context::OnEndEditTransaction() {
    return S_OK;
}

} // namespace tovi::tsfhost
