// The keystroke manager of the host's thread manager: the application's message loop hands it
// every key (Test*/Key*), it gives them to the preserved keys' owners and to the foreground text
// service's key sink with the focused context.
#include "thread_manager.h"

#include <algorithm>

namespace tovi::tsfhost {
namespace {

UINT currentModifiers() {
    UINT modifiers = 0;
    if (GetKeyState(VK_MENU) & 0x8000)
        modifiers |= TF_MOD_ALT;
    if (GetKeyState(VK_CONTROL) & 0x8000)
        modifiers |= TF_MOD_CONTROL;
    if (GetKeyState(VK_SHIFT) & 0x8000)
        modifiers |= TF_MOD_SHIFT;
    return modifiers;
}

// Whether a preserved key's modifiers are the ones held: the generic ones must match exactly,
// a side-specific one must be held on that side.
bool modifiersMatch(UINT wanted) {
    if (wanted & TF_MOD_IGNORE_ALL_MODIFIER)
        return true;
    const UINT held = currentModifiers();
    UINT generic = wanted & (TF_MOD_ALT | TF_MOD_CONTROL | TF_MOD_SHIFT);
    if (wanted & (TF_MOD_LALT | TF_MOD_RALT))
        generic |= TF_MOD_ALT;
    if (wanted & (TF_MOD_LCONTROL | TF_MOD_RCONTROL))
        generic |= TF_MOD_CONTROL;
    if (wanted & (TF_MOD_LSHIFT | TF_MOD_RSHIFT))
        generic |= TF_MOD_SHIFT;
    if (generic != held)
        return false;
    const std::pair<UINT, int> sides[] = {
        {TF_MOD_LALT, VK_LMENU},        {TF_MOD_RALT, VK_RMENU},    {TF_MOD_LCONTROL, VK_LCONTROL},
        {TF_MOD_RCONTROL, VK_RCONTROL}, {TF_MOD_LSHIFT, VK_LSHIFT}, {TF_MOD_RSHIFT, VK_RSHIFT}};
    for (const auto& [flag, key] : sides)
        if ((wanted & flag) && !(GetKeyState(key) & 0x8000))
            return false;
    return true;
}

bool sameKey(const TF_PRESERVEDKEY& a, const TF_PRESERVEDKEY& b) {
    return a.uVKey == b.uVKey && a.uModifiers == b.uModifiers;
}

} // namespace

ITfKeyEventSink* ThreadManager::foregroundSink() const {
    for (const KeySink& sink : keySinks_)
        if (sink.client == foreground_)
            return sink.sink.Get();
    return nullptr;
}

const ThreadManager::PreservedKey* ThreadManager::preservedFor(WPARAM key, bool down) const {
    for (const PreservedKey& preserved : preserved_)
        if (preserved.key.uVKey == key &&
            ((preserved.key.uModifiers & TF_MOD_ON_KEYUP) != 0) == !down &&
            modifiersMatch(preserved.key.uModifiers & ~TF_MOD_ON_KEYUP))
            return &preserved;
    return nullptr;
}

HRESULT ThreadManager::key(bool down, bool test, WPARAM key, LPARAM data, BOOL* eaten) {
    if (!eaten)
        return E_INVALIDARG;
    *eaten = FALSE;
    Microsoft::WRL::ComPtr<ThreadManager> self(this);
    const auto context = focusedContext();
    if (const PreservedKey* preserved = preservedFor(key, down)) {
        *eaten = TRUE;
        if (test)
            return S_OK;
        const PreservedKey copy = *preserved;
        for (const KeySink& sink : keySinks_)
            if (sink.client == copy.client) {
                const auto target = sink.sink;
                return target->OnPreservedKey(context.Get(), copy.guid, eaten);
            }
        return S_OK;
    }
    const Microsoft::WRL::ComPtr<ITfKeyEventSink> sink = foregroundSink();
    if (!sink)
        return S_OK;
    if (down)
        return test ? sink->OnTestKeyDown(context.Get(), key, data, eaten)
                    : sink->OnKeyDown(context.Get(), key, data, eaten);
    return test ? sink->OnTestKeyUp(context.Get(), key, data, eaten)
                : sink->OnKeyUp(context.Get(), key, data, eaten);
}

STDMETHODIMP ThreadManager::AdviseKeyEventSink(TfClientId client, ITfKeyEventSink* sink,
                                               BOOL foreground) {
    if (!sink || clients_.find(client) == clients_.end())
        return E_INVALIDARG;
    for (const KeySink& held : keySinks_)
        if (held.client == client)
            return CONNECT_E_ADVISELIMIT;
    keySinks_.push_back(KeySink{client, sink});
    if (foreground) {
        foreground_ = client;
        sink->OnSetFocus(TRUE);
    }
    return S_OK;
}

STDMETHODIMP ThreadManager::UnadviseKeyEventSink(TfClientId client) {
    const auto found =
        std::find_if(keySinks_.begin(), keySinks_.end(),
                     [client](const KeySink& sink) { return sink.client == client; });
    if (found == keySinks_.end())
        return CONNECT_E_NOCONNECTION;
    keySinks_.erase(found);
    if (foreground_ == client)
        foreground_ = TF_CLIENTID_NULL;
    return S_OK;
}

STDMETHODIMP ThreadManager::GetForeground(CLSID* clsid) {
    if (!clsid)
        return E_INVALIDARG;
    *clsid = CLSID_NULL;
    if (foreground_ == TF_CLIENTID_NULL)
        return S_FALSE;
    *clsid = clsidOf(foreground_);
    return S_OK;
}

STDMETHODIMP ThreadManager::TestKeyDown(WPARAM k, LPARAM data, BOOL* eaten) {
    return key(true, true, k, data, eaten);
}

STDMETHODIMP ThreadManager::TestKeyUp(WPARAM k, LPARAM data, BOOL* eaten) {
    return key(false, true, k, data, eaten);
}

STDMETHODIMP ThreadManager::KeyDown(WPARAM k, LPARAM data, BOOL* eaten) {
    return key(true, false, k, data, eaten);
}

STDMETHODIMP ThreadManager::KeyUp(WPARAM k, LPARAM data, BOOL* eaten) {
    return key(false, false, k, data, eaten);
}

STDMETHODIMP ThreadManager::GetPreservedKey(ITfContext*, const TF_PRESERVEDKEY* key, GUID* guid) {
    if (!key || !guid)
        return E_INVALIDARG;
    *guid = GUID_NULL;
    for (const PreservedKey& preserved : preserved_)
        if (sameKey(preserved.key, *key)) {
            *guid = preserved.guid;
            return S_OK;
        }
    return S_FALSE;
}

STDMETHODIMP ThreadManager::IsPreservedKey(REFGUID guid, const TF_PRESERVEDKEY* key,
                                           BOOL* registered) {
    if (!key || !registered)
        return E_INVALIDARG;
    *registered = std::any_of(preserved_.begin(), preserved_.end(), [&](const PreservedKey& p) {
        return p.guid == guid && sameKey(p.key, *key);
    });
    return S_OK;
}

STDMETHODIMP ThreadManager::PreserveKey(TfClientId client, REFGUID guid, const TF_PRESERVEDKEY* key,
                                        const WCHAR* description, ULONG length) {
    if (!key || (length && !description) || clients_.find(client) == clients_.end())
        return E_INVALIDARG;
    for (const PreservedKey& preserved : preserved_)
        if (sameKey(preserved.key, *key))
            return TF_E_ALREADY_EXISTS;
    preserved_.push_back(
        PreservedKey{client, guid, *key, std::wstring(description ? description : L"", length)});
    return S_OK;
}

STDMETHODIMP ThreadManager::UnpreserveKey(REFGUID guid, const TF_PRESERVEDKEY* key) {
    if (!key)
        return E_INVALIDARG;
    const auto found = std::find_if(preserved_.begin(), preserved_.end(), [&](const auto& p) {
        return p.guid == guid && sameKey(p.key, *key);
    });
    if (found == preserved_.end())
        return CONNECT_E_NOCONNECTION;
    preserved_.erase(found);
    return S_OK;
}

STDMETHODIMP ThreadManager::SetPreservedKeyDescription(REFGUID guid, const WCHAR* description,
                                                       ULONG length) {
    if (length && !description)
        return E_INVALIDARG;
    bool found = false;
    for (PreservedKey& preserved : preserved_)
        if (preserved.guid == guid) {
            preserved.description.assign(description ? description : L"", length);
            found = true;
        }
    return found ? S_OK : E_INVALIDARG;
}

STDMETHODIMP ThreadManager::GetPreservedKeyDescription(REFGUID guid, BSTR* description) {
    if (!description)
        return E_INVALIDARG;
    *description = nullptr;
    for (const PreservedKey& preserved : preserved_)
        if (preserved.guid == guid) {
            *description = SysAllocStringLen(preserved.description.data(),
                                             static_cast<UINT>(preserved.description.size()));
            return *description ? S_OK : E_OUTOFMEMORY;
        }
    return E_INVALIDARG;
}

STDMETHODIMP ThreadManager::SimulatePreservedKey(ITfContext* context, REFGUID guid, BOOL* eaten) {
    if (!eaten)
        return E_INVALIDARG;
    *eaten = FALSE;
    for (const PreservedKey& preserved : preserved_)
        if (preserved.guid == guid)
            for (const KeySink& sink : keySinks_)
                if (sink.client == preserved.client) {
                    const auto target = sink.sink;
                    return target->OnPreservedKey(context, guid, eaten);
                }
    return E_INVALIDARG;
}

} // namespace tovi::tsfhost
