// A stand-in for the outside capture component "XdictGrb.GrabProxy", built only for the Wine
// tests: an in-process automation object that keeps the properties the program writes, takes
// the sink through AdviseGrab and calls its QueryWord when a test asks
// (grab_proxy_test_protocol.h).
#include "grab_proxy_test_protocol.h"

#include <oleauto.h>

#include <cwchar>

namespace {

using namespace tovi::wintest;

constexpr CLSID kClsid = {
    0x6a1f3c52, 0x9b7e, 0x4d21, {0x8c, 0x4a, 0x0e, 0x5d, 0x7b, 0x2f, 0x9a, 0x13}};

enum : DISPID { kGrabEnabled = 1, kGrabInterval, kGrabMode, kAdviseGrab };

HMODULE g_module = nullptr;
LONG g_locks = 0;

// One object per process, as a real grabber would be; it lives in the DLL's data and so needs
// no allocation: the count only decides when the sink and the window are let go.
class GrabProxy final : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
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
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        if (--references_ == 0)
            reset();
        return static_cast<ULONG>(references_);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        const struct {
            const wchar_t* name;
            DISPID id;
        } members[] = {{L"GrabEnabled", kGrabEnabled},
                       {L"GrabInterval", kGrabInterval},
                       {L"GrabMode", kGrabMode},
                       {L"AdviseGrab", kAdviseGrab}};
        if (count != 1)
            return DISP_E_UNKNOWNNAME;
        for (const auto& member : members)
            if (_wcsicmp(names[0], member.name) == 0) {
                ids[0] = member.id;
                return S_OK;
            }
        ids[0] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT*) override {
        LONG* property = id == kGrabEnabled    ? &enabled_
                         : id == kGrabInterval ? &interval_
                         : id == kGrabMode     ? &mode_
                                               : nullptr;
        if (property && (flags & DISPATCH_PROPERTYPUT)) {
            if (params->cArgs != 1)
                return DISP_E_BADPARAMCOUNT;
            VARIANT value;
            VariantInit(&value);
            if (FAILED(VariantChangeType(&value, &params->rgvarg[0], 0, VT_I4)))
                return DISP_E_TYPEMISMATCH;
            *property = id == kGrabEnabled ? (value.lVal != 0 ? 1 : 0) : value.lVal;
            return S_OK;
        }
        if (property && (flags & DISPATCH_PROPERTYGET)) {
            if (!result)
                return E_POINTER;
            VariantInit(result);
            if (id == kGrabEnabled) {
                result->vt = VT_BOOL;
                result->boolVal = enabled_ ? VARIANT_TRUE : VARIANT_FALSE;
            } else {
                result->vt = VT_I4;
                result->lVal = *property;
            }
            return S_OK;
        }
        if (id == kAdviseGrab && (flags & DISPATCH_METHOD)) {
            if (params->cArgs != 1 || params->rgvarg[0].vt != VT_DISPATCH ||
                !params->rgvarg[0].pdispVal)
                return DISP_E_TYPEMISMATCH;
            reset();
            sink_ = params->rgvarg[0].pdispVal;
            sink_->AddRef();
            control_ = CreateWindowExW(0, kGrabProxyControlClass, L"", WS_POPUP, 0, 0, 0, 0,
                                       nullptr, nullptr, g_module, nullptr);
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

    LRESULT answer(UINT message, LPARAM lParam) {
        switch (message) {
        case kAskGrabEnabled:
            return enabled_;
        case kAskGrabInterval:
            return interval_;
        case kAskGrabMode:
            return mode_;
        case WM_COPYDATA: {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            if (data->dwData != kQueryWordRequest || data->cbData != sizeof(QueryWordCall))
                return E_INVALIDARG;
            return queryWord(*static_cast<const QueryWordCall*>(data->lpData));
        }
        default:
            return 0;
        }
    }

private:
    HRESULT queryWord(const QueryWordCall& call) {
        if (!sink_ || !enabled_)
            return E_UNEXPECTED;
        LPOLESTR name = const_cast<LPOLESTR>(L"QueryWord");
        DISPID id = 0;
        if (const HRESULT hr = sink_->GetIDsOfNames(IID_NULL, &name, 1, 0, &id); FAILED(hr))
            return hr;
        LONG cursor = call.cursorIndex;
        BSTR text = call.nullText ? nullptr : SysAllocString(call.text);
        // Last argument first.
        VARIANT args[7];
        for (VARIANT& a : args) {
            VariantInit(&a);
            a.vt = VT_I4;
            a.lVal = 0;
        }
        args[5].lVal = call.x;
        args[4].lVal = call.y;
        args[3].vt = call.nullText ? VT_NULL : VT_BSTR;
        args[3].bstrVal = text;
        args[2].vt = VT_I4 | VT_BYREF;
        args[2].plVal = &cursor;
        DISPPARAMS params{args, nullptr, 7, 0};
        const HRESULT hr =
            sink_->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
        SysFreeString(text);
        return hr;
    }

    void reset() {
        if (control_)
            DestroyWindow(control_);
        control_ = nullptr;
        if (sink_)
            sink_->Release();
        sink_ = nullptr;
    }

    LONG references_ = 0;
    LONG enabled_ = -1;
    LONG interval_ = -1;
    LONG mode_ = -1;
    IDispatch* sink_ = nullptr;
    HWND control_ = nullptr;
};

GrabProxy g_proxy;

LRESULT CALLBACK controlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA || (message >= kAskGrabEnabled && message <= kAskGrabMode))
        return g_proxy.answer(message, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

class Factory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return g_proxy.QueryInterface(iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        lock ? InterlockedIncrement(&g_locks) : InterlockedDecrement(&g_locks);
        return S_OK;
    }
};

Factory g_factory;

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        WNDCLASSW wc{};
        wc.lpfnWndProc = controlProc;
        wc.hInstance = instance;
        wc.lpszClassName = kGrabProxyControlClass;
        RegisterClassW(&wc);
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (!IsEqualCLSID(clsid, kClsid))
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, object);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() {
    // The object lives in the DLL's data: never unload while the process runs.
    return S_FALSE;
}
