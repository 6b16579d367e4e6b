#include "context_view.h"

#include "context.h"
#include "range.h"

namespace tovi::tsfhost {

STDMETHODIMP ContextView::QueryInterface(REFIID riid, void** object) {
    if (!object)
        return E_INVALIDARG;
    *object = nullptr;
    if (riid != IID_IUnknown && riid != IID_ITfContextView)
        return E_NOINTERFACE;
    *object = static_cast<ITfContextView*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP ContextView::GetRangeFromPoint(TfEditCookie ec, const POINT* point, DWORD flags,
                                            ITfRange** range) {
    if (!point || !range)
        return E_INVALIDARG;
    *range = nullptr;
    if (!context_->canRead(ec))
        return TF_E_NOLOCK;
    TsViewCookie view = 0;
    context_->store()->GetActiveView(&view);
    LONG position = 0;
    const HRESULT hr = context_->store()->GetACPFromPoint(view, point, flags, &position);
    if (FAILED(hr))
        return hr;
    *range = makeCom<Range>(context_.Get(), position, position).Detach();
    return S_OK;
}

STDMETHODIMP ContextView::GetTextExt(TfEditCookie ec, ITfRange* range, RECT* rect, BOOL* clipped) {
    Range* host = Range::from(range);
    if (!host || !rect || !clipped)
        return E_INVALIDARG;
    if (!context_->canRead(ec))
        return TF_E_NOLOCK;
    TsViewCookie view = 0;
    context_->store()->GetActiveView(&view);
    return context_->store()->GetTextExt(view, host->start(), host->end(), rect, clipped);
}

STDMETHODIMP ContextView::GetScreenExt(RECT* rect) {
    if (!rect)
        return E_INVALIDARG;
    TsViewCookie view = 0;
    context_->store()->GetActiveView(&view);
    return context_->store()->GetScreenExt(view, rect);
}

STDMETHODIMP ContextView::GetWnd(HWND* window) {
    if (!window)
        return E_INVALIDARG;
    TsViewCookie view = 0;
    context_->store()->GetActiveView(&view);
    return context_->store()->GetWnd(view, window);
}

} // namespace tovi::tsfhost
