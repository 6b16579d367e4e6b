#include "range.h"

#include "context.h"

#include <algorithm>
#include <string>

namespace tovi::tsfhost {

Range::Range(Context* context, LONG start, LONG end)
    : context_(context), start_(start), end_(std::max(start, end)) {
    context_->track(this);
}

Range::~Range() {
    context_->untrack(this);
}

Microsoft::WRL::ComPtr<Range> Range::clone() const {
    auto copy = makeCom<Range>(context_.Get(), start_, end_);
    copy->startGravity_ = startGravity_;
    copy->endGravity_ = endGravity_;
    return copy;
}

void Range::set(LONG start, LONG end) {
    start_ = start;
    end_ = std::max(start, end);
}

void Range::adjust(LONG start, LONG oldEnd, LONG newEnd) {
    const auto move = [&](LONG& position, TfGravity gravity) {
        if (position < start)
            return;
        if (position > oldEnd) {
            position += newEnd - oldEnd;
            return;
        }
        // At an insertion point, or strictly inside replaced text, gravity decides the side;
        // the edges of replaced text stay on their side.
        if (start != oldEnd && position == start)
            return;
        if (start != oldEnd && position == oldEnd) {
            position = newEnd;
            return;
        }
        position = gravity == TF_GRAVITY_FORWARD ? newEnd : start;
    };
    move(start_, startGravity_);
    move(end_, endGravity_);
    end_ = std::max(start_, end_);
}

Range* Range::from(ITfRange* range) {
    Range* host = nullptr;
    if (range && SUCCEEDED(range->QueryInterface(kHostRangeIid, reinterpret_cast<void**>(&host))))
        return host; // not counted: the caller holds `range`
    return nullptr;
}

STDMETHODIMP Range::QueryInterface(REFIID riid, void** object) {
    if (!object)
        return E_INVALIDARG;
    *object = nullptr;
    if (riid == kHostRangeIid) {
        *object = this;
        return S_OK;
    }
    if (riid == IID_IUnknown || riid == IID_ITfRange || riid == IID_ITfRangeACP)
        *object = static_cast<ITfRangeACP*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP Range::GetText(TfEditCookie ec, DWORD flags, WCHAR* text, ULONG max, ULONG* count) {
    if (!count || (max && !text))
        return E_INVALIDARG;
    *count = 0;
    if (!context_->canRead(ec))
        return TF_E_NOLOCK;
    // TF_TF_IGNOREEND reads on past the range's end, up to the end of the document.
    LONG limit = end_;
    if (flags & TF_TF_IGNOREEND) {
        const HRESULT hr = context_->length(&limit);
        if (FAILED(hr))
            return hr;
    }
    const ULONG wanted = std::min<ULONG>(max, static_cast<ULONG>(std::max(0L, limit - start_)));
    ULONG got = 0, runs = 0;
    LONG next = 0;
    TS_RUNINFO run{};
    HRESULT hr = S_OK;
    if (wanted)
        hr = context_->store()->GetText(start_, start_ + static_cast<LONG>(wanted), text, wanted,
                                        &got, &run, 1, &runs, &next);
    if (FAILED(hr))
        return hr;
    *count = got;
    if (flags & TF_TF_MOVESTART)
        start_ += static_cast<LONG>(got);
    return S_OK;
}

STDMETHODIMP Range::SetText(TfEditCookie ec, DWORD, const WCHAR* text, LONG count) {
    if (!text && count)
        return E_INVALIDARG;
    if (!context_->canWrite(ec))
        return TF_E_NOLOCK;
    if (count < 0)
        count = text ? static_cast<LONG>(wcslen(text)) : 0;
    const LONG start = start_;
    LONG newEnd = start;
    const HRESULT hr = context_->replace(start_, end_, text, count, &newEnd);
    if (SUCCEEDED(hr))
        set(start, newEnd);
    return hr;
}

STDMETHODIMP Range::GetFormattedText(TfEditCookie, IDataObject** object) {
    if (object)
        *object = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP Range::GetEmbedded(TfEditCookie, REFGUID, REFIID, IUnknown** object) {
    if (object)
        *object = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP Range::InsertEmbedded(TfEditCookie, DWORD, IDataObject*) {
    return E_NOTIMPL;
}

HRESULT Range::shift(TfEditCookie ec, LONG& anchor, LONG count, LONG* shifted) {
    if (!shifted)
        return E_INVALIDARG;
    *shifted = 0;
    if (!context_->canRead(ec))
        return TF_E_NOLOCK;
    LONG length = 0;
    const HRESULT hr = context_->length(&length);
    if (FAILED(hr))
        return hr;
    const LONG target = std::clamp(anchor + count, 0L, length);
    *shifted = target - anchor;
    anchor = target;
    return S_OK;
}

STDMETHODIMP Range::ShiftStart(TfEditCookie ec, LONG count, LONG* shifted, const TF_HALTCOND*) {
    const HRESULT hr = shift(ec, start_, count, shifted);
    end_ = std::max(start_, end_);
    return hr;
}

STDMETHODIMP Range::ShiftEnd(TfEditCookie ec, LONG count, LONG* shifted, const TF_HALTCOND*) {
    const HRESULT hr = shift(ec, end_, count, shifted);
    start_ = std::min(start_, end_);
    return hr;
}

HRESULT Range::shiftToRange(TfEditCookie ec, ITfRange* range, TfAnchor anchor, bool start) {
    Range* other = from(range);
    if (!other)
        return E_INVALIDARG;
    if (!context_->canRead(ec))
        return TF_E_NOLOCK;
    const LONG to = anchor == TF_ANCHOR_START ? other->start_ : other->end_;
    // The other anchor follows when it would be passed.
    if (start)
        set(to, end_);
    else
        set(std::min(start_, to), to);
    return S_OK;
}

STDMETHODIMP Range::ShiftStartToRange(TfEditCookie ec, ITfRange* range, TfAnchor anchor) {
    return shiftToRange(ec, range, anchor, true);
}

STDMETHODIMP Range::ShiftEndToRange(TfEditCookie ec, ITfRange* range, TfAnchor anchor) {
    return shiftToRange(ec, range, anchor, false);
}

// The document has no regions (hidden text or embedded objects).
STDMETHODIMP Range::ShiftStartRegion(TfEditCookie ec, TfShiftDir, BOOL* noRegion) {
    if (!noRegion)
        return E_INVALIDARG;
    *noRegion = TRUE;
    return context_->canRead(ec) ? S_OK : TF_E_NOLOCK;
}

STDMETHODIMP Range::ShiftEndRegion(TfEditCookie ec, TfShiftDir, BOOL* noRegion) {
    if (!noRegion)
        return E_INVALIDARG;
    *noRegion = TRUE;
    return context_->canRead(ec) ? S_OK : TF_E_NOLOCK;
}

STDMETHODIMP Range::IsEmpty(TfEditCookie ec, BOOL* empty) {
    if (!empty)
        return E_INVALIDARG;
    if (!context_->canRead(ec))
        return TF_E_NOLOCK;
    *empty = start_ == end_;
    return S_OK;
}

STDMETHODIMP Range::Collapse(TfEditCookie ec, TfAnchor anchor) {
    if (!context_->canRead(ec))
        return TF_E_NOLOCK;
    if (anchor == TF_ANCHOR_START)
        end_ = start_;
    else
        start_ = end_;
    return S_OK;
}

STDMETHODIMP Range::IsEqualStart(TfEditCookie ec, ITfRange* with, TfAnchor anchor, BOOL* equal) {
    LONG result = 0;
    const HRESULT hr = CompareStart(ec, with, anchor, &result);
    if (equal)
        *equal = SUCCEEDED(hr) && result == 0;
    return equal ? hr : E_INVALIDARG;
}

STDMETHODIMP Range::IsEqualEnd(TfEditCookie ec, ITfRange* with, TfAnchor anchor, BOOL* equal) {
    LONG result = 0;
    const HRESULT hr = CompareEnd(ec, with, anchor, &result);
    if (equal)
        *equal = SUCCEEDED(hr) && result == 0;
    return equal ? hr : E_INVALIDARG;
}

STDMETHODIMP Range::CompareStart(TfEditCookie ec, ITfRange* with, TfAnchor anchor, LONG* result) {
    Range* other = from(with);
    if (!other || !result)
        return E_INVALIDARG;
    if (!context_->canRead(ec))
        return TF_E_NOLOCK;
    const LONG position = anchor == TF_ANCHOR_START ? other->start_ : other->end_;
    *result = start_ < position ? -1 : start_ > position ? 1 : 0;
    return S_OK;
}

STDMETHODIMP Range::CompareEnd(TfEditCookie ec, ITfRange* with, TfAnchor anchor, LONG* result) {
    Range* other = from(with);
    if (!other || !result)
        return E_INVALIDARG;
    if (!context_->canRead(ec))
        return TF_E_NOLOCK;
    const LONG position = anchor == TF_ANCHOR_START ? other->start_ : other->end_;
    *result = end_ < position ? -1 : end_ > position ? 1 : 0;
    return S_OK;
}

STDMETHODIMP Range::AdjustForInsert(TfEditCookie ec, ULONG, BOOL* insertOk) {
    if (!insertOk)
        return E_INVALIDARG;
    if (!context_->canRead(ec))
        return TF_E_NOLOCK;
    *insertOk = TRUE;
    return S_OK;
}

STDMETHODIMP Range::GetGravity(TfGravity* start, TfGravity* end) {
    if (!start || !end)
        return E_INVALIDARG;
    *start = startGravity_;
    *end = endGravity_;
    return S_OK;
}

STDMETHODIMP Range::SetGravity(TfEditCookie ec, TfGravity start, TfGravity end) {
    if (!context_->canRead(ec))
        return TF_E_NOLOCK;
    startGravity_ = start;
    endGravity_ = end;
    return S_OK;
}

STDMETHODIMP Range::Clone(ITfRange** copy) {
    if (!copy)
        return E_INVALIDARG;
    *copy = clone().Detach();
    return S_OK;
}

STDMETHODIMP Range::GetContext(ITfContext** context) {
    if (!context)
        return E_INVALIDARG;
    *context = context_.Get();
    (*context)->AddRef();
    return S_OK;
}

STDMETHODIMP Range::GetExtent(LONG* anchor, LONG* count) {
    if (!anchor || !count)
        return E_INVALIDARG;
    *anchor = start_;
    *count = end_ - start_;
    return S_OK;
}

STDMETHODIMP Range::SetExtent(LONG anchor, LONG count) {
    if (anchor < 0 || count < 0)
        return E_INVALIDARG;
    set(anchor, anchor + count);
    return S_OK;
}

} // namespace tovi::tsfhost
