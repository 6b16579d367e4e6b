#include "text_store.h"

#include <algorithm>

namespace tovi::tsfhost {

TextStore::TextStore(HWND window, CharacterCell cell) : window_(window), cell_(cell) {}

STDMETHODIMP TextStore::QueryInterface(REFIID riid, void** object) {
    if (!object)
        return E_INVALIDARG;
    *object = nullptr;
    if (riid == IID_IUnknown || riid == IID_ITextStoreACP)
        *object = static_cast<ITextStoreACP*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

bool TextStore::replaceAll(const std::wstring& text) {
    if (lock_)
        return false;
    const auto oldEnd = static_cast<LONG>(text_.size());
    text_ = text;
    selStart_ = selEnd_ = static_cast<LONG>(text_.size());
    if (sink_ && (sinkMask_ & TS_AS_TEXT_CHANGE)) {
        const TS_TEXTCHANGE change{0, oldEnd, static_cast<LONG>(text_.size())};
        sink_->OnTextChange(0, &change);
    }
    if (sink_ && (sinkMask_ & TS_AS_SEL_CHANGE))
        sink_->OnSelectionChange();
    InvalidateRect(window_, nullptr, TRUE);
    return true;
}

bool TextStore::select(LONG start, LONG end) {
    if (lock_ || !validRange(start, end))
        return false;
    selStart_ = start;
    selEnd_ = end;
    if (sink_ && (sinkMask_ & TS_AS_SEL_CHANGE))
        sink_->OnSelectionChange();
    return true;
}

RECT TextStore::screenRect(LONG start, LONG end) const {
    POINT topLeft{cell_.left + start * cell_.width, cell_.top};
    // An empty range is the caret: one pixel wide at its position.
    POINT bottomRight{end > start ? cell_.left + end * cell_.width : topLeft.x + 1,
                      cell_.top + cell_.height};
    ClientToScreen(window_, &topLeft);
    ClientToScreen(window_, &bottomRight);
    return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

bool TextStore::validRange(LONG start, LONG end) const {
    return start >= 0 && start <= end && end <= static_cast<LONG>(text_.size());
}

// --- Sinks and locks ---------------------------------------------------------------------------

STDMETHODIMP TextStore::AdviseSink(REFIID riid, IUnknown* unknown, DWORD mask) {
    if (!unknown)
        return E_INVALIDARG;
    if (riid != IID_ITextStoreACPSink)
        return E_INVALIDARG;
    Microsoft::WRL::ComPtr<IUnknown> identity;
    unknown->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.GetAddressOf()));
    if (sink_) {
        // The same sink again changes its mask; another one is refused, as one store has one
        // manager.
        Microsoft::WRL::ComPtr<IUnknown> current;
        sink_->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(current.GetAddressOf()));
        if (current.Get() != identity.Get())
            return CONNECT_E_ADVISELIMIT;
        sinkMask_ = mask;
        return S_OK;
    }
    Microsoft::WRL::ComPtr<ITextStoreACPSink> sink;
    if (FAILED(unknown->QueryInterface(IID_ITextStoreACPSink,
                                       reinterpret_cast<void**>(sink.GetAddressOf()))))
        return E_NOINTERFACE;
    sink_ = sink;
    sinkMask_ = mask;
    return S_OK;
}

STDMETHODIMP TextStore::UnadviseSink(IUnknown* unknown) {
    if (!unknown || !sink_)
        return CONNECT_E_NOCONNECTION;
    Microsoft::WRL::ComPtr<IUnknown> identity, current;
    unknown->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.GetAddressOf()));
    sink_->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(current.GetAddressOf()));
    if (identity.Get() != current.Get())
        return CONNECT_E_NOCONNECTION;
    sink_.Reset();
    sinkMask_ = 0;
    return S_OK;
}

HRESULT TextStore::grant(DWORD lockFlags) {
    lock_ = lockFlags & TS_LF_READWRITE;
    if ((lock_ & TS_LF_READWRITE) == TS_LF_READWRITE)
        ++writeGrants_;
    // The sink may release the last reference to this store (a document popped inside an edit
    // session), so the store keeps itself alive over the call.
    Microsoft::WRL::ComPtr<TextStore> self(this);
    Microsoft::WRL::ComPtr<ITextStoreACPSink> sink = sink_;
    const HRESULT result = sink->OnLockGranted(lock_);
    lock_ = 0;
    InvalidateRect(window_, nullptr, TRUE);
    return result;
}

STDMETHODIMP TextStore::RequestLock(DWORD lockFlags, HRESULT* session) {
    if (!session)
        return E_INVALIDARG;
    if (!sink_) {
        *session = E_UNEXPECTED;
        return E_UNEXPECTED;
    }
    if (!(lockFlags & TS_LF_READ)) {
        *session = E_INVALIDARG;
        return E_INVALIDARG;
    }
    const bool sync = (lockFlags & TS_LF_SYNC) != 0;
    if (lock_) {
        // A lock is held: a synchronous request cannot be granted; an asynchronous one is queued
        // until the current lock ends (a read-write request widens a queued read-only one).
        if (sync) {
            *session = TS_E_SYNCHRONOUS;
            return S_OK;
        }
        queuedLock_ |= lockFlags & TS_LF_READWRITE;
        PostMessageW(window_, kGrantQueuedLockMessage, 0, 0);
        *session = TS_S_ASYNC;
        return S_OK;
    }
    if (sync || !deferAsync_) {
        ++syncGrants_;
        *session = grant(lockFlags);
        return S_OK;
    }
    queuedLock_ |= lockFlags & TS_LF_READWRITE;
    PostMessageW(window_, kGrantQueuedLockMessage, 0, 0);
    *session = TS_S_ASYNC;
    return S_OK;
}

void TextStore::grantQueuedLock() {
    if (!queuedLock_ || lock_ || !sink_)
        return;
    const DWORD flags = queuedLock_;
    queuedLock_ = 0;
    ++asyncGrants_;
    grant(flags);
}

STDMETHODIMP TextStore::GetStatus(TS_STATUS* status) {
    if (!status)
        return E_INVALIDARG;
    status->dwDynamicFlags = 0;
    status->dwStaticFlags = TS_SS_NOHIDDENTEXT;
    return S_OK;
}

// --- Text and selection ------------------------------------------------------------------------

STDMETHODIMP TextStore::QueryInsert(LONG testStart, LONG testEnd, ULONG, LONG* resultStart,
                                    LONG* resultEnd) {
    if (!resultStart || !resultEnd)
        return E_INVALIDARG;
    if (!validRange(testStart, testEnd))
        return E_INVALIDARG;
    *resultStart = testStart;
    *resultEnd = testEnd;
    return S_OK;
}

STDMETHODIMP TextStore::GetSelection(ULONG index, ULONG count, TS_SELECTION_ACP* selection,
                                     ULONG* fetched) {
    if (!selection || !fetched)
        return E_INVALIDARG;
    *fetched = 0;
    if (!canRead())
        return TS_E_NOLOCK;
    if (index != 0 && index != static_cast<ULONG>(TS_DEFAULT_SELECTION))
        return E_INVALIDARG;
    if (count == 0)
        return S_OK;
    selection->acpStart = selStart_;
    selection->acpEnd = selEnd_;
    selection->style.ase = activeEnd_;
    selection->style.fInterimChar = FALSE;
    *fetched = 1;
    return S_OK;
}

STDMETHODIMP TextStore::SetSelection(ULONG count, const TS_SELECTION_ACP* selection) {
    if (!selection || count != 1)
        return E_INVALIDARG;
    if (!canWrite())
        return TS_E_NOLOCK;
    if (!validRange(selection->acpStart, selection->acpEnd))
        return TS_E_INVALIDPOS;
    selStart_ = selection->acpStart;
    selEnd_ = selection->acpEnd;
    activeEnd_ = selection->style.ase;
    return S_OK;
}

STDMETHODIMP TextStore::GetText(LONG start, LONG end, WCHAR* plain, ULONG plainRequested,
                                ULONG* plainReturned, TS_RUNINFO* runs, ULONG runsRequested,
                                ULONG* runsReturned, LONG* next) {
    if (!plainReturned || !runsReturned || !next)
        return E_INVALIDARG;
    *plainReturned = 0;
    *runsReturned = 0;
    if (!canRead())
        return TS_E_NOLOCK;
    const auto length = static_cast<LONG>(text_.size());
    if (end == -1)
        end = length;
    if (!validRange(start, end))
        return TS_E_INVALIDPOS;
    ULONG copied = static_cast<ULONG>(end - start);
    if (plain)
        copied = std::min(copied, plainRequested);
    else
        copied = runs && runsRequested ? copied : 0;
    if (plain && copied)
        std::copy_n(text_.data() + start, copied, plain);
    *plainReturned = plain ? copied : 0;
    if (runs && runsRequested && copied) {
        runs[0].uCount = copied;
        runs[0].type = TS_RT_PLAIN;
        *runsReturned = 1;
    }
    *next = start + static_cast<LONG>(copied);
    return S_OK;
}

void TextStore::replace(LONG start, LONG end, const WCHAR* text, ULONG count,
                        TS_TEXTCHANGE* change) {
    text_.replace(static_cast<size_t>(start), static_cast<size_t>(end - start), text ? text : L"",
                  text ? count : 0);
    const LONG newEnd = start + static_cast<LONG>(text ? count : 0);
    if (change) {
        change->acpStart = start;
        change->acpOldEnd = end;
        change->acpNewEnd = newEnd;
    }
    // The caret goes after the new text.
    selStart_ = selEnd_ = newEnd;
    activeEnd_ = TS_AE_END;
}

STDMETHODIMP TextStore::SetText(DWORD, LONG start, LONG end, const WCHAR* text, ULONG count,
                                TS_TEXTCHANGE* change) {
    if (!canWrite())
        return TS_E_NOLOCK;
    if (!validRange(start, end) || (!text && count))
        return TS_E_INVALIDPOS;
    replace(start, end, text, count, change);
    return S_OK;
}

STDMETHODIMP TextStore::InsertTextAtSelection(DWORD flags, const WCHAR* text, ULONG count,
                                              LONG* start, LONG* end, TS_TEXTCHANGE* change) {
    if (flags & TS_IAS_QUERYONLY) {
        if (!canRead())
            return TS_E_NOLOCK;
        if (start)
            *start = selStart_;
        if (end)
            *end = selEnd_;
        return S_OK;
    }
    if (!canWrite())
        return TS_E_NOLOCK;
    if (!text && count)
        return E_INVALIDARG;
    const LONG from = selStart_;
    replace(selStart_, selEnd_, text, count, change);
    if (!(flags & TS_IAS_NOQUERY)) {
        if (start)
            *start = from;
        if (end)
            *end = from + static_cast<LONG>(count);
    }
    return S_OK;
}

STDMETHODIMP TextStore::GetEndACP(LONG* end) {
    if (!end)
        return E_INVALIDARG;
    if (!canRead())
        return TS_E_NOLOCK;
    *end = static_cast<LONG>(text_.size());
    return S_OK;
}

// --- Embedded objects: the document holds plain text only ---------------------------------------

STDMETHODIMP TextStore::GetFormattedText(LONG, LONG, IDataObject** object) {
    if (object)
        *object = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP TextStore::GetEmbedded(LONG, REFGUID, REFIID, IUnknown** object) {
    if (object)
        *object = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP TextStore::QueryInsertEmbedded(const GUID*, const FORMATETC*, BOOL* insertable) {
    if (!insertable)
        return E_INVALIDARG;
    *insertable = FALSE;
    return S_OK;
}

STDMETHODIMP TextStore::InsertEmbedded(DWORD, LONG, LONG, IDataObject*, TS_TEXTCHANGE*) {
    return E_NOTIMPL;
}

STDMETHODIMP TextStore::InsertEmbeddedAtSelection(DWORD, IDataObject*, LONG*, LONG*,
                                                  TS_TEXTCHANGE*) {
    return E_NOTIMPL;
}

// --- Attributes: the document has none ---------------------------------------------------------

STDMETHODIMP TextStore::RequestSupportedAttrs(DWORD, ULONG, const TS_ATTRID*) {
    return S_OK;
}

STDMETHODIMP TextStore::RequestAttrsAtPosition(LONG, ULONG, const TS_ATTRID*, DWORD) {
    return S_OK;
}

STDMETHODIMP TextStore::RequestAttrsTransitioningAtPosition(LONG, ULONG, const TS_ATTRID*, DWORD) {
    return S_OK;
}

STDMETHODIMP TextStore::FindNextAttrTransition(LONG, LONG, ULONG, const TS_ATTRID*, DWORD,
                                               LONG* next, BOOL* found, LONG* foundOffset) {
    if (!next || !found || !foundOffset)
        return E_INVALIDARG;
    *next = static_cast<LONG>(text_.size());
    *found = FALSE;
    *foundOffset = 0;
    return S_OK;
}

STDMETHODIMP TextStore::RetrieveRequestedAttrs(ULONG, TS_ATTRVAL*, ULONG* fetched) {
    if (!fetched)
        return E_INVALIDARG;
    *fetched = 0;
    return S_OK;
}

// --- The view ----------------------------------------------------------------------------------

STDMETHODIMP TextStore::GetActiveView(TsViewCookie* view) {
    if (!view)
        return E_INVALIDARG;
    *view = kView;
    return S_OK;
}

STDMETHODIMP TextStore::GetACPFromPoint(TsViewCookie view, const POINT* point, DWORD,
                                        LONG* position) {
    if (!point || !position)
        return E_INVALIDARG;
    if (view != kView)
        return E_INVALIDARG;
    POINT client = *point;
    ScreenToClient(window_, &client);
    const LONG index = (client.x - cell_.left) / cell_.width;
    if (client.y < cell_.top || client.y >= cell_.top + cell_.height || client.x < cell_.left ||
        index >= static_cast<LONG>(text_.size()))
        return TS_E_INVALIDPOINT;
    *position = index;
    return S_OK;
}

STDMETHODIMP TextStore::GetTextExt(TsViewCookie view, LONG start, LONG end, RECT* rect,
                                   BOOL* clipped) {
    if (!rect || !clipped)
        return E_INVALIDARG;
    if (view != kView)
        return E_INVALIDARG;
    if (!canRead())
        return TS_E_NOLOCK;
    if (end == -1)
        end = static_cast<LONG>(text_.size());
    if (!validRange(start, end))
        return TS_E_INVALIDPOS;
    *rect = screenRect(start, end);
    RECT client{};
    GetClientRect(window_, &client);
    const LONG right = cell_.left + end * cell_.width;
    *clipped = right > client.right ? TRUE : FALSE;
    return S_OK;
}

STDMETHODIMP TextStore::GetScreenExt(TsViewCookie view, RECT* rect) {
    if (!rect)
        return E_INVALIDARG;
    if (view != kView)
        return E_INVALIDARG;
    GetClientRect(window_, rect);
    MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(rect), 2);
    return S_OK;
}

STDMETHODIMP TextStore::GetWnd(TsViewCookie view, HWND* window) {
    if (!window)
        return E_INVALIDARG;
    if (view != kView)
        return E_INVALIDARG;
    *window = window_;
    return S_OK;
}

} // namespace tovi::tsfhost
