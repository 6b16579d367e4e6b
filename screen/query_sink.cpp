#include "query_sink.h"

#include "win32_owners.h"

#include <new>

namespace tovi::screen {
namespace {

// QueryWord's seven arguments, last first in DISPPARAMS.
constexpr UINT kArgumentCount = 7;
constexpr UINT kXArgument = 5;
constexpr UINT kYArgument = 4;
constexpr UINT kTextArgument = 3;
constexpr UINT kCursorArgument = 2;

HRESULT longArgument(const VARIANT& argument, LONG* value) {
    OwnedVariant converted;
    const VARIANT* source = &argument;
    if (V_VT(&argument) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(&argument))
        source = V_VARIANTREF(&argument);
    const HRESULT hr = VariantChangeType(converted.get(), const_cast<VARIANT*>(source), 0, VT_I4);
    if (FAILED(hr))
        return hr;
    *value = V_I4(&converted.value());
    return S_OK;
}

} // namespace

HRESULT QuerySink::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG QuerySink::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG QuerySink::Release() {
    const LONG left = InterlockedDecrement(&references_);
    return static_cast<ULONG>(left > 0 ? left : 0);
}

HRESULT QuerySink::GetTypeInfoCount(UINT* count) {
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT QuerySink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT QuerySink::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!names || !ids || count == 0)
        return E_POINTER;
    for (UINT i = 0; i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    if (!names[0] || lstrcmpiW(names[0], L"QueryWord") != 0)
        return DISP_E_UNKNOWNNAME;
    ids[0] = kQueryWordId;
    return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
}

HRESULT QuerySink::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                          EXCEPINFO*, UINT* argumentError) {
    if (id != kQueryWordId)
        return DISP_E_MEMBERNOTFOUND;
    if (!(flags & DISPATCH_METHOD))
        return DISP_E_MEMBERNOTFOUND;
    if (!params || !params->rgvarg || params->cArgs != kArgumentCount)
        return DISP_E_BADPARAMCOUNT;
    if (params->cNamedArgs != 0)
        return DISP_E_NONAMEDARGS;
    const VARIANT* args = params->rgvarg;
    const auto mismatch = [&](UINT index) {
        if (argumentError)
            *argumentError = index;
        return DISP_E_TYPEMISMATCH;
    };
    LONG x = 0;
    LONG y = 0;
    if (FAILED(longArgument(args[kXArgument], &x)))
        return mismatch(kXArgument);
    if (FAILED(longArgument(args[kYArgument], &y)))
        return mismatch(kYArgument);
    const VARIANT& textArgument = args[kTextArgument];
    BSTR text = nullptr;
    if (V_VT(&textArgument) == VT_BSTR)
        text = V_BSTR(&textArgument);
    else if (V_VT(&textArgument) == (VT_BSTR | VT_BYREF) && V_BSTRREF(&textArgument))
        text = *V_BSTRREF(&textArgument);
    else if (V_VT(&textArgument) != VT_NULL && V_VT(&textArgument) != VT_EMPTY)
        return mismatch(kTextArgument);
    LONG cursor = 0;
    const VARIANT& cursorArgument = args[kCursorArgument];
    if (V_VT(&cursorArgument) == (VT_I4 | VT_BYREF)) {
        if (!V_I4REF(&cursorArgument))
            return E_POINTER;
        cursor = *V_I4REF(&cursorArgument);
    } else if (FAILED(longArgument(cursorArgument, &cursor))) {
        return mismatch(kCursorArgument);
    }
    const HRESULT hr = QueryWord(0, x, y, text, &cursor, 0, 0);
    if (result) {
        VariantInit(result);
        result->vt = VT_ERROR;
        result->scode = hr;
    }
    return hr;
}

HRESULT QuerySink::QueryWord(LONG, LONG x, LONG y, BSTR text, LONG* cursorIndex, LONG, LONG) {
    // Nothing may unwind into the component: every failure becomes the returned code.
    try {
        if (!cursorIndex)
            return E_POINTER;
        return handler_.queryWord(x, y, text, text ? SysStringLen(text) : 0, *cursorIndex);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

} // namespace tovi::screen
