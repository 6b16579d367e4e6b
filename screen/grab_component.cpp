#include "grab_component.h"

namespace tovi::screen {
namespace {

VARIANT boolVariant(bool value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

VARIANT intVariant(LONG value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT dispatchVariant(IDispatch* object) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_DISPATCH;
    v.pdispVal = object; // borrowed: the caller keeps its reference
    return v;
}

} // namespace

HRESULT GrabComponent::start(IDispatch* sink) {
    object_.reset();
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(kGrabProgId, &clsid);
    if (FAILED(hr))
        return hr;
    ComRef<IDispatch> created;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                          reinterpret_cast<void**>(created.put()));
    if (FAILED(hr))
        return hr;
    object_ = std::move(created);
    if (FAILED(hr = put(L"GrabEnabled", boolVariant(true))) ||
        FAILED(hr = put(L"GrabInterval", intVariant(500))) ||
        FAILED(hr = put(L"GrabMode", intVariant(1))) ||
        FAILED(hr = call(L"AdviseGrab", dispatchVariant(sink))))
        object_.reset();
    return hr;
}

std::optional<bool> GrabComponent::toggleEnabled() {
    OwnedVariant now;
    if (FAILED(get(L"GrabEnabled", now.get())) ||
        FAILED(VariantChangeType(now.get(), now.get(), 0, VT_BOOL)))
        return std::nullopt;
    if (FAILED(put(L"GrabEnabled", boolVariant(now.value().boolVal == VARIANT_FALSE))))
        return std::nullopt;
    OwnedVariant after;
    if (FAILED(get(L"GrabEnabled", after.get())) ||
        FAILED(VariantChangeType(after.get(), after.get(), 0, VT_BOOL)))
        return std::nullopt;
    return after.value().boolVal != VARIANT_FALSE;
}

HRESULT GrabComponent::dispatchId(const wchar_t* name, DISPID* id) {
    if (!object_)
        return E_UNEXPECTED;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    return object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, id);
}

HRESULT GrabComponent::put(const wchar_t* name, VARIANT value) {
    DISPID id = 0;
    if (const HRESULT hr = dispatchId(name, &id); FAILED(hr))
        return hr;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    return object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                           nullptr, nullptr, nullptr);
}

HRESULT GrabComponent::get(const wchar_t* name, VARIANT* result) {
    DISPID id = 0;
    if (const HRESULT hr = dispatchId(name, &id); FAILED(hr))
        return hr;
    DISPPARAMS params{nullptr, nullptr, 0, 0};
    return object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &params, result,
                           nullptr, nullptr);
}

HRESULT GrabComponent::call(const wchar_t* name, VARIANT argument) {
    DISPID id = 0;
    if (const HRESULT hr = dispatchId(name, &id); FAILED(hr))
        return hr;
    DISPPARAMS params{&argument, nullptr, 1, 0};
    OwnedVariant result;
    return object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                           result.get(), nullptr, nullptr);
}

} // namespace tovi::screen
