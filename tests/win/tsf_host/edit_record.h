// What a text-edit sink is told about a finished read-write session: whether the selection
// changed. Lists of changed ranges are not kept (GetTextAndPropertyUpdates answers E_NOTIMPL).
#pragma once

#include "com_object.h"
#include "tsf_declarations.h"

namespace tovi::tsfhost {

class EditRecord final : public ITfEditRecord {
public:
    explicit EditRecord(bool selectionChanged) : selectionChanged_(selectionChanged) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (!object)
            return E_INVALIDARG;
        *object = nullptr;
        if (riid != IID_IUnknown && riid != IID_ITfEditRecord)
            return E_NOINTERFACE;
        *object = static_cast<ITfEditRecord*>(this);
        AddRef();
        return S_OK;
    }
    TOVI_TSFHOST_REFCOUNT(EditRecord)

    STDMETHODIMP GetSelectionStatus(BOOL* changed) override {
        if (!changed)
            return E_INVALIDARG;
        *changed = selectionChanged_;
        return S_OK;
    }
    STDMETHODIMP GetTextAndPropertyUpdates(DWORD, const GUID**, ULONG,
                                           IEnumTfRanges** ranges) override {
        if (ranges)
            *ranges = nullptr;
        return E_NOTIMPL;
    }

private:
    ~EditRecord() = default;
    ULONG references_ = 1;
    bool selectionChanged_;
};

} // namespace tovi::tsfhost
