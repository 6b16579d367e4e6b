// A composition of a host context: the range a text service is composing in, its owner and the
// sink told when the application ends it. Also the enumerator of a context's compositions.
#pragma once

#include "com_object.h"
#include "range.h"
#include "tsf_declarations.h"

#include <vector>

namespace tovi::tsfhost {

class Context;

class Composition final : public ITfComposition, public ITfCompositionView {
public:
    Composition(Context* context, Microsoft::WRL::ComPtr<Range> range, ITfCompositionSink* sink,
                CLSID owner);
    const Range& range() const { return *range_.Get(); }
    // Tells the owner the composition ends (OnCompositionTerminated) and lets go of the context.
    void terminate(TfEditCookie ec);
    // Lets go of the context without telling the owner (the context is going away).
    void release();

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
    TOVI_TSFHOST_REFCOUNT(Composition)

    // ITfComposition and ITfCompositionView
    STDMETHODIMP GetRange(ITfRange** range) override;
    STDMETHODIMP ShiftStart(TfEditCookie ec, ITfRange* newStart) override;
    STDMETHODIMP ShiftEnd(TfEditCookie ec, ITfRange* newEnd) override;
    STDMETHODIMP EndComposition(TfEditCookie ec) override;
    STDMETHODIMP GetOwnerClsid(CLSID* owner) override;

private:
    ~Composition() = default;
    // Moves the composition's start to the start of `to`, or its end to the end of `to`.
    HRESULT reshape(TfEditCookie ec, ITfRange* to, bool start);
    ULONG references_ = 1;
    Microsoft::WRL::ComPtr<Context> context_;
    Microsoft::WRL::ComPtr<Range> range_;
    Microsoft::WRL::ComPtr<ITfCompositionSink> sink_;
    CLSID owner_;
};

class CompositionEnum final : public IEnumITfCompositionView {
public:
    explicit CompositionEnum(std::vector<Microsoft::WRL::ComPtr<ITfCompositionView>> views)
        : views_(std::move(views)) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
    TOVI_TSFHOST_REFCOUNT(CompositionEnum)

    STDMETHODIMP Clone(IEnumITfCompositionView** copy) override;
    STDMETHODIMP Next(ULONG count, ITfCompositionView** views, ULONG* fetched) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Skip(ULONG count) override;

private:
    ~CompositionEnum() = default;
    ULONG references_ = 1;
    std::vector<Microsoft::WRL::ComPtr<ITfCompositionView>> views_;
    size_t next_ = 0;
};

} // namespace tovi::tsfhost
