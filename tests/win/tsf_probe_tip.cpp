// A small keyboard text service for the host's tests: letters start or extend a composition of
// the typed letters, Space commits a fixed word in its place, Escape cancels. It registers itself
// for Simplified Chinese and records what the framework let it do (tsf_probe_tip.h).
#include "tsf_probe_tip.h"

#include "tsf_host/com_object.h"
#include "tsf_host/tsf_declarations.h"

#include <windows.h>
#include <wrl/client.h>

#include <functional>
#include <string>

using Microsoft::WRL::ComPtr;
using tovi::tsfprobe::Report;

namespace {

HMODULE module_ = nullptr;
LONG objects_ = 0;
LONG locks_ = 0;
Report report_{};

// An edit session that runs a function with the cookie the context grants.
class EditSession final : public ITfEditSession {
public:
    explicit EditSession(std::function<HRESULT(TfEditCookie)> body) : body_(std::move(body)) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (!object)
            return E_INVALIDARG;
        *object = riid == IID_IUnknown || riid == IID_ITfEditSession ? this : nullptr;
        if (!*object)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    TOVI_TSFHOST_REFCOUNT(EditSession)
    STDMETHODIMP DoEditSession(TfEditCookie cookie) override {
        report_.editSessionInner = body_(cookie);
        return report_.editSessionInner;
    }

private:
    ~EditSession() = default;
    ULONG references_ = 1;
    std::function<HRESULT(TfEditCookie)> body_;
};

class ProbeService final : public ITfTextInputProcessorEx,
                           public ITfKeyEventSink,
                           public ITfThreadMgrEventSink,
                           public ITfTextEditSink,
                           public ITfCompositionSink {
public:
    ProbeService() { InterlockedIncrement(&objects_); }

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (!object)
            return E_INVALIDARG;
        *object = nullptr;
        if (riid == IID_IUnknown || riid == IID_ITfTextInputProcessor ||
            riid == IID_ITfTextInputProcessorEx)
            *object = static_cast<ITfTextInputProcessorEx*>(this);
        else if (riid == IID_ITfKeyEventSink)
            *object = static_cast<ITfKeyEventSink*>(this);
        else if (riid == IID_ITfThreadMgrEventSink)
            *object = static_cast<ITfThreadMgrEventSink*>(this);
        else if (riid == IID_ITfTextEditSink)
            *object = static_cast<ITfTextEditSink*>(this);
        else if (riid == IID_ITfCompositionSink)
            *object = static_cast<ITfCompositionSink*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    TOVI_TSFHOST_REFCOUNT(ProbeService)

    // ITfTextInputProcessor(Ex)
    STDMETHODIMP Activate(ITfThreadMgr* threads, TfClientId id) override {
        return ActivateEx(threads, id, 0);
    }
    STDMETHODIMP ActivateEx(ITfThreadMgr* threads, TfClientId id, DWORD) override {
        if (!threads)
            return E_INVALIDARG;
        ++report_.activations;
        threads_ = threads;
        client_ = id;
        ComPtr<ITfSource> source;
        report_.threadSinkAdvise = threads_.As(&source);
        if (source)
            report_.threadSinkAdvise =
                source->AdviseSink(IID_ITfThreadMgrEventSink,
                                   static_cast<ITfThreadMgrEventSink*>(this), &threadCookie_);
        ComPtr<ITfKeystrokeMgr> keys;
        report_.keySinkAdvise = threads_.As(&keys);
        if (keys)
            report_.keySinkAdvise = keys->AdviseKeyEventSink(client_, this, TRUE);
        ComPtr<ITfDocumentMgr> focus;
        threads_->GetFocus(&focus);
        watch(focus.Get());
        return S_OK;
    }
    STDMETHODIMP Deactivate() override {
        ++report_.deactivations;
        watch(nullptr);
        if (threads_) {
            ComPtr<ITfKeystrokeMgr> keys;
            if (SUCCEEDED(threads_.As(&keys)))
                keys->UnadviseKeyEventSink(client_);
            ComPtr<ITfSource> source;
            if (threadCookie_ != TF_INVALID_COOKIE && SUCCEEDED(threads_.As(&source)))
                source->UnadviseSink(threadCookie_);
        }
        threadCookie_ = TF_INVALID_COOKIE;
        composition_.Reset();
        threads_.Reset();
        return S_OK;
    }

    // ITfKeyEventSink
    STDMETHODIMP OnSetFocus(BOOL foreground) override {
        if (foreground)
            ++report_.keySinkFocus;
        return S_OK;
    }
    STDMETHODIMP OnTestKeyDown(ITfContext*, WPARAM key, LPARAM, BOOL* eaten) override {
        if (!eaten)
            return E_INVALIDARG;
        ++report_.testKeyDown;
        *eaten = eats(key);
        return S_OK;
    }
    STDMETHODIMP OnKeyDown(ITfContext* context, WPARAM key, LPARAM, BOOL* eaten) override {
        if (!eaten)
            return E_INVALIDARG;
        ++report_.keyDown;
        *eaten = eats(key);
        if (!*eaten || !context)
            return S_OK;
        if (key >= 'A' && key <= 'Z') {
            const wchar_t letter = static_cast<wchar_t>(key - 'A' + 'a');
            edit(context, [this, context, letter](TfEditCookie ec) {
                return addLetter(context, ec, letter);
            });
        } else if (key == VK_SPACE) {
            edit(context, [this, context](TfEditCookie ec) {
                return finish(context, ec, tovi::tsfprobe::kWord);
            });
        } else if (key == VK_ESCAPE) {
            edit(context, [this, context](TfEditCookie ec) { return finish(context, ec, L""); });
        }
        return S_OK;
    }
    STDMETHODIMP OnTestKeyUp(ITfContext*, WPARAM, LPARAM, BOOL* eaten) override {
        if (!eaten)
            return E_INVALIDARG;
        *eaten = FALSE;
        return S_OK;
    }
    STDMETHODIMP OnKeyUp(ITfContext*, WPARAM, LPARAM, BOOL* eaten) override {
        if (!eaten)
            return E_INVALIDARG;
        ++report_.keyUp;
        *eaten = FALSE;
        return S_OK;
    }
    STDMETHODIMP OnPreservedKey(ITfContext*, REFGUID, BOOL* eaten) override {
        if (eaten)
            *eaten = FALSE;
        return S_OK;
    }

    // ITfThreadMgrEventSink
    STDMETHODIMP OnInitDocumentMgr(ITfDocumentMgr*) override { return S_OK; }
    STDMETHODIMP OnUninitDocumentMgr(ITfDocumentMgr*) override { return S_OK; }
    STDMETHODIMP OnSetFocus(ITfDocumentMgr* focus, ITfDocumentMgr*) override {
        ++report_.threadFocus;
        watch(focus);
        return S_OK;
    }
    STDMETHODIMP OnPushContext(ITfContext*) override { return S_OK; }
    STDMETHODIMP OnPopContext(ITfContext*) override { return S_OK; }

    // ITfTextEditSink
    STDMETHODIMP OnEndEdit(ITfContext*, TfEditCookie, ITfEditRecord*) override {
        ++report_.editEnds;
        return S_OK;
    }

    // ITfCompositionSink
    STDMETHODIMP OnCompositionTerminated(TfEditCookie, ITfComposition*) override {
        ++report_.compositionsTerminated;
        composition_.Reset();
        reading_.clear();
        return S_OK;
    }

private:
    ~ProbeService() { InterlockedDecrement(&objects_); }

    // Letters always; Space and Escape while composing; nothing with Ctrl or Alt held.
    BOOL eats(WPARAM key) const {
        if ((GetKeyState(VK_CONTROL) & 0x8000) || (GetKeyState(VK_MENU) & 0x8000))
            return FALSE;
        return (key >= 'A' && key <= 'Z') ||
               (composition_ && (key == VK_SPACE || key == VK_ESCAPE));
    }

    void edit(ITfContext* context, std::function<HRESULT(TfEditCookie)> body) {
        const auto session = tovi::tsfhost::makeCom<EditSession>(std::move(body));
        HRESULT result = E_FAIL;
        const HRESULT hr = context->RequestEditSession(
            client_, session.Get(), TF_ES_READWRITE | TF_ES_ASYNCDONTCARE, &result);
        report_.editSession = FAILED(hr) ? hr : result;
    }

    // Moves the caret of `context` to the end of `range`.
    static void caretAfter(ITfContext* context, TfEditCookie ec, ITfRange* range) {
        ComPtr<ITfRange> caret;
        if (FAILED(range->Clone(&caret)))
            return;
        caret->Collapse(ec, TF_ANCHOR_END);
        TF_SELECTION selection{};
        selection.range = caret.Get();
        selection.style.ase = TF_AE_NONE;
        selection.style.fInterimChar = FALSE;
        context->SetSelection(ec, 1, &selection);
    }

    HRESULT addLetter(ITfContext* context, TfEditCookie ec, wchar_t letter) {
        if (!composition_) {
            ComPtr<ITfInsertAtSelection> insert;
            ComPtr<ITfContextComposition> compositions;
            ComPtr<ITfRange> at;
            HRESULT hr = context->QueryInterface(IID_PPV_ARGS(&insert));
            if (SUCCEEDED(hr))
                hr = insert->InsertTextAtSelection(ec, TF_IAS_QUERYONLY, nullptr, 0, &at);
            if (SUCCEEDED(hr))
                hr = context->QueryInterface(IID_PPV_ARGS(&compositions));
            if (SUCCEEDED(hr))
                hr = compositions->StartComposition(ec, at.Get(), this, &composition_);
            report_.startComposition = hr;
            if (FAILED(hr) || !composition_)
                return FAILED(hr) ? hr : E_FAIL;
        }
        reading_ += letter;
        ComPtr<ITfRange> range;
        HRESULT hr = composition_->GetRange(&range);
        if (SUCCEEDED(hr))
            hr = range->SetText(ec, 0, reading_.c_str(), static_cast<LONG>(reading_.size()));
        if (FAILED(hr))
            return hr;
        caretAfter(context, ec, range.Get());
        mark(context, ec, range.Get(), true);
        // Where a candidate window would go: the composition's rectangle on the screen.
        ComPtr<ITfContextView> view;
        report_.activeView = context->GetActiveView(&view);
        if (view) {
            BOOL clipped = FALSE;
            report_.textExt = view->GetTextExt(ec, range.Get(), &report_.textExtRect, &clipped);
        }
        return S_OK;
    }

    HRESULT finish(ITfContext* context, TfEditCookie ec, const wchar_t* text) {
        if (!composition_)
            return S_FALSE;
        ComPtr<ITfRange> range;
        HRESULT hr = composition_->GetRange(&range);
        if (SUCCEEDED(hr))
            hr = range->SetText(ec, 0, text, static_cast<LONG>(wcslen(text)));
        if (SUCCEEDED(hr))
            caretAfter(context, ec, range.Get());
        mark(context, ec, range.Get(), false);
        report_.endComposition = composition_->EndComposition(ec);
        composition_.Reset();
        reading_.clear();
        return hr;
    }

    // Sets (or clears) the composing display attribute on `range`.
    static void mark(ITfContext* context, TfEditCookie ec, ITfRange* range, bool composing) {
        ComPtr<ITfProperty> property;
        ComPtr<ITfCategoryMgr> categories;
        HRESULT hr = context->GetProperty(GUID_PROP_ATTRIBUTE, &property);
        if (SUCCEEDED(hr) && !composing) {
            report_.attribute = property->Clear(ec, range);
            return;
        }
        if (SUCCEEDED(hr))
            hr = CoCreateInstance(CLSID_TF_CategoryMgr, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&categories));
        TfGuidAtom atom = TF_INVALID_GUIDATOM;
        if (SUCCEEDED(hr))
            hr = categories->RegisterGUID(tovi::tsfprobe::kAttribute, &atom);
        if (SUCCEEDED(hr)) {
            VARIANT value;
            VariantInit(&value);
            value.vt = VT_I4;
            value.lVal = static_cast<LONG>(atom);
            hr = property->SetValue(ec, range, &value);
        }
        report_.attribute = hr;
    }

    // Follows the text edits of the focused document's top context.
    void watch(ITfDocumentMgr* focus) {
        if (watched_ && editCookie_ != TF_INVALID_COOKIE) {
            ComPtr<ITfSource> source;
            if (SUCCEEDED(watched_.As(&source)))
                source->UnadviseSink(editCookie_);
        }
        watched_.Reset();
        editCookie_ = TF_INVALID_COOKIE;
        ComPtr<ITfContext> top;
        if (!focus || FAILED(focus->GetTop(&top)) || !top)
            return;
        ComPtr<ITfSource> source;
        report_.textEditSinkAdvise = top.As(&source);
        if (source)
            report_.textEditSinkAdvise = source->AdviseSink(
                IID_ITfTextEditSink, static_cast<ITfTextEditSink*>(this), &editCookie_);
        if (SUCCEEDED(report_.textEditSinkAdvise))
            watched_ = top;
    }

    ULONG references_ = 1;
    ComPtr<ITfThreadMgr> threads_;
    TfClientId client_ = TF_CLIENTID_NULL;
    DWORD threadCookie_ = TF_INVALID_COOKIE;
    ComPtr<ITfContext> watched_;
    DWORD editCookie_ = TF_INVALID_COOKIE;
    ComPtr<ITfComposition> composition_;
    std::wstring reading_;
};

class Factory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (!object)
            return E_INVALIDARG;
        *object = riid == IID_IUnknown || riid == IID_IClassFactory ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        if (!object)
            return E_INVALIDARG;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return tovi::tsfhost::makeCom<ProbeService>()->QueryInterface(riid, object);
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        lock ? InterlockedIncrement(&locks_) : InterlockedDecrement(&locks_);
        return S_OK;
    }
};

Factory factory_;

std::wstring clsidKey() {
    wchar_t text[40] = {};
    StringFromGUID2(tovi::tsfprobe::kClsid, text, 40);
    return std::wstring(L"CLSID\\") + text;
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        module_ = instance;
    return TRUE;
}

__declspec(dllexport) const Report* ProbeTipReport() {
    return &report_;
}

__declspec(dllexport) void ProbeTipReset() {
    report_ = Report{};
}

HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
    if (!object)
        return E_INVALIDARG;
    *object = nullptr;
    if (clsid != tovi::tsfprobe::kClsid)
        return CLASS_E_CLASSNOTAVAILABLE;
    return factory_.QueryInterface(riid, object);
}

HRESULT WINAPI DllCanUnloadNow() {
    return objects_ == 0 && locks_ == 0 ? S_OK : S_FALSE;
}

HRESULT WINAPI DllRegisterServer() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module_, path, MAX_PATH);
    HKEY key = nullptr;
    const std::wstring server = clsidKey() + L"\\InprocServer32";
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, server.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return SELFREG_E_CLASS;
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                   static_cast<DWORD>((wcslen(path) + 1) * sizeof(wchar_t)));
    static const wchar_t model[] = L"Apartment";
    RegSetValueExW(key, L"ThreadingModel", 0, REG_SZ, reinterpret_cast<const BYTE*>(model),
                   sizeof(model));
    RegCloseKey(key);

    ComPtr<ITfInputProcessorProfiles> profiles;
    HRESULT hr = CoCreateInstance(CLSID_TF_InputProcessorProfiles, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&profiles));
    if (SUCCEEDED(hr))
        hr = profiles->Register(tovi::tsfprobe::kClsid);
    static const wchar_t name[] = L"Probe";
    if (SUCCEEDED(hr))
        hr = profiles->AddLanguageProfile(tovi::tsfprobe::kClsid, tovi::tsfprobe::kLangId,
                                          tovi::tsfprobe::kProfile, name, 5, nullptr, 0, 0);
    ComPtr<ITfCategoryMgr> categories;
    if (SUCCEEDED(hr))
        hr = CoCreateInstance(CLSID_TF_CategoryMgr, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&categories));
    if (SUCCEEDED(hr))
        hr = categories->RegisterCategory(tovi::tsfprobe::kClsid, GUID_TFCAT_TIP_KEYBOARD,
                                          tovi::tsfprobe::kClsid);
    return hr;
}

HRESULT WINAPI DllUnregisterServer() {
    ComPtr<ITfCategoryMgr> categories;
    if (SUCCEEDED(CoCreateInstance(CLSID_TF_CategoryMgr, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(&categories))))
        categories->UnregisterCategory(tovi::tsfprobe::kClsid, GUID_TFCAT_TIP_KEYBOARD,
                                       tovi::tsfprobe::kClsid);
    ComPtr<ITfInputProcessorProfiles> profiles;
    if (SUCCEEDED(CoCreateInstance(CLSID_TF_InputProcessorProfiles, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(&profiles))))
        profiles->Unregister(tovi::tsfprobe::kClsid);
    const std::wstring key = clsidKey();
    RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    return S_OK;
}

} // extern "C"
