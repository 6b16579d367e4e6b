#include "composition.h"

#include "context.h"

namespace tovi::tsfhost {

Composition::Composition(Context* context, Microsoft::WRL::ComPtr<Range> range,
                         ITfCompositionSink* sink, CLSID owner)
    : context_(context), range_(std::move(range)), sink_(sink), owner_(owner) {}

void Composition::terminate(TfEditCookie ec) {
    // Kept alive over the sink's call: the owner usually releases its reference there.
    Microsoft::WRL::ComPtr<Composition> self(this);
    if (const auto sink = std::move(sink_))
        sink->OnCompositionTerminated(ec, this);
    release();
}

void Composition::release() {
    sink_.Reset();
    context_.Reset();
}

STDMETHODIMP Composition::QueryInterface(REFIID riid, void** object) {
    if (!object)
        return E_INVALIDARG;
    *object = nullptr;
    if (riid == IID_IUnknown || riid == IID_ITfComposition)
        *object = static_cast<ITfComposition*>(this);
    else if (riid == IID_ITfCompositionView)
        *object = static_cast<ITfCompositionView*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP Composition::GetRange(ITfRange** range) {
    if (!range)
        return E_INVALIDARG;
    *range = nullptr;
    if (!context_)
        return E_UNEXPECTED;
    // A copy: the caller may move it without moving the composition.
    *range = range_->clone().Detach();
    return S_OK;
}

HRESULT Composition::reshape(TfEditCookie ec, ITfRange* to, bool start) {
    const Range* edge = Range::from(to);
    if (!edge)
        return E_INVALIDARG;
    if (!context_)
        return E_UNEXPECTED;
    if (!context_->canWrite(ec))
        return TF_E_NOLOCK;
    if (start)
        range_->set(edge->start(), range_->end());
    else
        range_->set(range_->start(), edge->end());
    return S_OK;
}

STDMETHODIMP Composition::ShiftStart(TfEditCookie ec, ITfRange* newStart) {
    return reshape(ec, newStart, true);
}

STDMETHODIMP Composition::ShiftEnd(TfEditCookie ec, ITfRange* newEnd) {
    return reshape(ec, newEnd, false);
}

STDMETHODIMP Composition::EndComposition(TfEditCookie ec) {
    if (!context_)
        return E_UNEXPECTED;
    if (!context_->canWrite(ec))
        return TF_E_NOLOCK;
    Microsoft::WRL::ComPtr<Composition> self(this);
    context_->removeComposition(this);
    release();
    return S_OK;
}

STDMETHODIMP Composition::GetOwnerClsid(CLSID* owner) {
    if (!owner)
        return E_INVALIDARG;
    *owner = owner_;
    return S_OK;
}

STDMETHODIMP CompositionEnum::QueryInterface(REFIID riid, void** object) {
    if (!object)
        return E_INVALIDARG;
    *object = nullptr;
    if (riid != IID_IUnknown && riid != IID_IEnumITfCompositionView)
        return E_NOINTERFACE;
    *object = static_cast<IEnumITfCompositionView*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP CompositionEnum::Clone(IEnumITfCompositionView** copy) {
    if (!copy)
        return E_INVALIDARG;
    auto twin = makeCom<CompositionEnum>(views_);
    twin->next_ = next_;
    *copy = twin.Detach();
    return S_OK;
}

STDMETHODIMP CompositionEnum::Next(ULONG count, ITfCompositionView** views, ULONG* fetched) {
    if (!views)
        return E_INVALIDARG;
    ULONG got = 0;
    while (got < count && next_ < views_.size()) {
        views[got] = views_[next_++].Get();
        views[got++]->AddRef();
    }
    if (fetched)
        *fetched = got;
    return got == count ? S_OK : S_FALSE;
}

STDMETHODIMP CompositionEnum::Reset() {
    next_ = 0;
    return S_OK;
}

STDMETHODIMP CompositionEnum::Skip(ULONG count) {
    next_ = std::min(views_.size(), next_ + static_cast<size_t>(count));
    return next_ < views_.size() ? S_OK : S_FALSE;
}

} // namespace tovi::tsfhost
