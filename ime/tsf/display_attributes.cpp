#include "display_attributes.h"

#include "com_ptr.h"
#include "tsf_guids.h"

namespace tovi::tsf {
namespace {

TF_DISPLAYATTRIBUTE codeAttribute() {
    TF_DISPLAYATTRIBUTE attribute{};
    attribute.crText.type = TF_CT_NONE;
    attribute.crBk.type = TF_CT_NONE;
    attribute.lsStyle = TF_LS_DOT;
    attribute.fBoldLine = FALSE;
    attribute.crLine.type = TF_CT_NONE;
    attribute.bAttr = TF_ATTR_INPUT;
    return attribute;
}

} // namespace

HRESULT CodeDisplayAttribute::QueryInterface(REFIID iid, void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_ITfDisplayAttributeInfo))
        return E_NOINTERFACE;
    *out = static_cast<ITfDisplayAttributeInfo*>(this);
    AddRef();
    return S_OK;
}

HRESULT CodeDisplayAttribute::GetGUID(GUID* guid) {
    if (!guid)
        return E_INVALIDARG;
    *guid = kCodeDisplayAttributeGuid;
    return S_OK;
}

HRESULT CodeDisplayAttribute::GetDescription(BSTR* description) {
    if (!description)
        return E_INVALIDARG;
    *description = SysAllocString(L"tovi code");
    return *description ? S_OK : E_OUTOFMEMORY;
}

HRESULT CodeDisplayAttribute::GetAttributeInfo(TF_DISPLAYATTRIBUTE* attribute) {
    if (!attribute)
        return E_INVALIDARG;
    *attribute = codeAttribute();
    return S_OK;
}

HRESULT CodeDisplayAttribute::SetAttributeInfo(const TF_DISPLAYATTRIBUTE*) {
    return E_NOTIMPL; // the attribute is fixed
}

HRESULT CodeDisplayAttribute::Reset() {
    return S_OK;
}

ITfDisplayAttributeInfo* newCodeDisplayAttribute() {
    return makeComObject<CodeDisplayAttribute>();
}

HRESULT DisplayAttributeList::QueryInterface(REFIID iid, void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IEnumTfDisplayAttributeInfo))
        return E_NOINTERFACE;
    *out = static_cast<IEnumTfDisplayAttributeInfo*>(this);
    AddRef();
    return S_OK;
}

HRESULT DisplayAttributeList::Clone(IEnumTfDisplayAttributeInfo** out) {
    if (!out)
        return E_INVALIDARG;
    DisplayAttributeList* copy = makeComObject<DisplayAttributeList>();
    if (!copy)
        return E_OUTOFMEMORY;
    copy->position_ = position_;
    *out = copy;
    return S_OK;
}

HRESULT DisplayAttributeList::Next(ULONG count, ITfDisplayAttributeInfo** info, ULONG* fetched) {
    if (fetched)
        *fetched = 0;
    if (count == 0)
        return S_OK;
    if (!info)
        return E_INVALIDARG;
    if (position_ >= 1)
        return S_FALSE;
    info[0] = newCodeDisplayAttribute();
    if (!info[0])
        return E_OUTOFMEMORY;
    position_ = 1;
    if (fetched)
        *fetched = 1;
    return count == 1 ? S_OK : S_FALSE;
}

HRESULT DisplayAttributeList::Reset() {
    position_ = 0;
    return S_OK;
}

HRESULT DisplayAttributeList::Skip(ULONG count) {
    if (count == 0)
        return S_OK;
    const bool skipped = position_ == 0;
    position_ = 1;
    return skipped && count == 1 ? S_OK : S_FALSE;
}

void clearDisplayAttribute(TfEditCookie cookie, ITfContext* context, ITfRange* range) {
    ComPtr<ITfProperty> attribute;
    if (context && range && SUCCEEDED(context->GetProperty(GUID_PROP_ATTRIBUTE, attribute.put())) &&
        attribute)
        attribute->Clear(cookie, range);
}

} // namespace tovi::tsf
