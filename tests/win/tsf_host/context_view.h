// The one view of a host context: screen rectangles of ranges, from the application's store.
#pragma once

#include "com_object.h"
#include "tsf_declarations.h"

namespace tovi::tsfhost {

class Context;

class ContextView final : public ITfContextView {
public:
    explicit ContextView(Context* context) : context_(context) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
    TOVI_TSFHOST_REFCOUNT(ContextView)

    STDMETHODIMP GetRangeFromPoint(TfEditCookie ec, const POINT* point, DWORD flags,
                                   ITfRange** range) override;
    STDMETHODIMP GetTextExt(TfEditCookie ec, ITfRange* range, RECT* rect, BOOL* clipped) override;
    STDMETHODIMP GetScreenExt(RECT* rect) override;
    STDMETHODIMP GetWnd(HWND* window) override;

private:
    ~ContextView() = default;
    ULONG references_ = 1;
    Microsoft::WRL::ComPtr<Context> context_;
};

} // namespace tovi::tsfhost
