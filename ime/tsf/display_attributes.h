// The display attribute of the code being typed (a dotted underline, the document's colours),
// and the enumeration of it the framework asks the display attribute provider for.
#pragma once

#include "com_object.h"

#include <msctf.h>

namespace tovi::tsf {

class CodeDisplayAttribute final : public ITfDisplayAttributeInfo,
                                   public RefCounted<CodeDisplayAttribute> {
public:
    TOVI_COM_REFCOUNT
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE GetGUID(GUID* guid) override;
    HRESULT STDMETHODCALLTYPE GetDescription(BSTR* description) override;
    HRESULT STDMETHODCALLTYPE GetAttributeInfo(TF_DISPLAYATTRIBUTE* attribute) override;
    HRESULT STDMETHODCALLTYPE SetAttributeInfo(const TF_DISPLAYATTRIBUTE* attribute) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
};

class DisplayAttributeList final : public IEnumTfDisplayAttributeInfo,
                                   public RefCounted<DisplayAttributeList> {
public:
    TOVI_COM_REFCOUNT
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumTfDisplayAttributeInfo** out) override;
    HRESULT STDMETHODCALLTYPE Next(ULONG count, ITfDisplayAttributeInfo** info,
                                   ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;

private:
    ULONG position_ = 0; // 0 before the one attribute, 1 after it
};

// The code's attribute as the provider hands it out, or null.
ITfDisplayAttributeInfo* newCodeDisplayAttribute();

// Takes the display attribute off `range` of the context's text: committed text is plain text,
// and property values stay on the characters that replace the ones they were set on.
void clearDisplayAttribute(TfEditCookie cookie, ITfContext* context, ITfRange* range);

} // namespace tovi::tsf
