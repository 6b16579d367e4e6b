#include "property.h"

#include "context.h"

namespace tovi::tsfhost {

Property::~Property() {
    release();
}

void Property::release() {
    clear(nullptr);
    context_.Reset();
}

VARIANT Property::valueAt(LONG position) const {
    VARIANT value;
    VariantInit(&value);
    for (const Span& span : spans_)
        if (span.range->start() <= position && position < span.range->end())
            VariantCopy(&value, const_cast<VARIANT*>(&span.value));
    return value;
}

void Property::clear(const Range* range) {
    for (auto it = spans_.begin(); it != spans_.end();) {
        const bool overlaps =
            !range || (it->range->start() < range->end() && range->start() < it->range->end()) ||
            (range->start() == range->end() && it->range->start() == range->start());
        if (overlaps) {
            VariantClear(&it->value);
            it = spans_.erase(it);
        } else {
            ++it;
        }
    }
}

STDMETHODIMP Property::QueryInterface(REFIID riid, void** object) {
    if (!object)
        return E_INVALIDARG;
    *object = nullptr;
    if (riid != IID_IUnknown && riid != IID_ITfReadOnlyProperty && riid != IID_ITfProperty)
        return E_NOINTERFACE;
    *object = static_cast<ITfProperty*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP Property::GetType(GUID* type) {
    if (!type)
        return E_INVALIDARG;
    *type = type_;
    return S_OK;
}

STDMETHODIMP Property::EnumRanges(TfEditCookie, IEnumTfRanges** ranges, ITfRange*) {
    if (ranges)
        *ranges = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP Property::GetValue(TfEditCookie ec, ITfRange* range, VARIANT* value) {
    Range* host = Range::from(range);
    if (!host || !value)
        return E_INVALIDARG;
    VariantInit(value);
    if (!context_)
        return E_UNEXPECTED;
    if (!context_->canRead(ec))
        return TF_E_NOLOCK;
    *value = valueAt(host->start());
    return value->vt == VT_EMPTY ? S_FALSE : S_OK;
}

STDMETHODIMP Property::GetContext(ITfContext** context) {
    if (!context)
        return E_INVALIDARG;
    *context = context_.Get();
    if (!*context)
        return E_UNEXPECTED;
    (*context)->AddRef();
    return S_OK;
}

STDMETHODIMP Property::FindRange(TfEditCookie ec, ITfRange* range, ITfRange** found,
                                 TfAnchor anchor) {
    Range* host = Range::from(range);
    if (!host)
        return E_INVALIDARG;
    if (found)
        *found = nullptr;
    if (!context_)
        return E_UNEXPECTED;
    if (!context_->canRead(ec))
        return TF_E_NOLOCK;
    const LONG position = anchor == TF_ANCHOR_START ? host->start() : host->end();
    for (const Span& span : spans_)
        if (span.range->start() <= position && position < span.range->end()) {
            if (found)
                *found = span.range->clone().Detach();
            return S_OK;
        }
    return S_FALSE;
}

STDMETHODIMP Property::SetValueStore(TfEditCookie, ITfRange*, ITfPropertyStore*) {
    return E_NOTIMPL;
}

STDMETHODIMP Property::SetValue(TfEditCookie ec, ITfRange* range, const VARIANT* value) {
    Range* host = Range::from(range);
    if (!host || !value)
        return E_INVALIDARG;
    if (!context_)
        return E_UNEXPECTED;
    if (!context_->canWrite(ec))
        return TF_E_NOLOCK;
    clear(host);
    Span span{host->clone(), {}};
    VariantInit(&span.value);
    const HRESULT hr = VariantCopy(&span.value, const_cast<VARIANT*>(value));
    if (FAILED(hr))
        return hr;
    spans_.push_back(std::move(span));
    return S_OK;
}

STDMETHODIMP Property::Clear(TfEditCookie ec, ITfRange* range) {
    if (!context_)
        return E_UNEXPECTED;
    if (!context_->canWrite(ec))
        return TF_E_NOLOCK;
    clear(range ? Range::from(range) : nullptr);
    return S_OK;
}

} // namespace tovi::tsfhost
