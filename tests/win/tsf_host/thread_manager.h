// The thread's text-services manager as the host provides it: focus over document managers, the
// text services it activates, their key sinks and preserved keys (the keystroke manager), their
// thread-event sinks, their language-bar items and UI elements (shown by the service: the
// application draws none). Compartments come from the system's thread manager, which this one
// wraps for them; a context's compartments are those of a context of the system's manager.
#pragma once

#include "com_object.h"
#include "tsf_declarations.h"

#include <map>
#include <string>
#include <vector>

namespace tovi::tsfhost {

class ThreadManager final : public ITfThreadMgrEx,
                            public ITfKeystrokeMgr,
                            public ITfSource,
                            public ITfLangBarItemMgr,
                            public ITfUIElementMgr {
public:
    ThreadManager();

    // The host's side ---------------------------------------------------------------------------
    // Creates the text service `clsid` (registered in-process server) and activates it for this
    // thread (ITfTextInputProcessorEx::ActivateEx, else ITfTextInputProcessor::Activate).
    HRESULT activateTextService(REFCLSID clsid);
    // Deactivates every activated text service, newest first.
    void deactivateTextServices();
    CLSID clsidOf(TfClientId client) const;
    // The focus follows the Win32 focus for windows given to AssociateFocus: the application's
    // windows call this on WM_SETFOCUS.
    void windowFocused(HWND window);
    // The language-bar items text services added, in order.
    std::vector<Microsoft::WRL::ComPtr<ITfLangBarItem>> languageBarItems() const;
    // The UI elements text services began and have not ended.
    std::vector<Microsoft::WRL::ComPtr<ITfUIElement>> uiElements() const;
    // Told by document managers.
    void contextPushed(ITfContext* context);
    void contextPopped(ITfContext* context);
    // The compartments of a new context of the system's manager, for a host context to hand out
    // as its own; null without the system's manager.
    Microsoft::WRL::ComPtr<ITfCompartmentMgr> newContextCompartments();
    // The top context of the focused document manager, or null.
    Microsoft::WRL::ComPtr<ITfContext> focusedContext() const;

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
    TOVI_TSFHOST_REFCOUNT(ThreadManager)

    // ITfThreadMgr(Ex)
    STDMETHODIMP Activate(TfClientId* client) override;
    STDMETHODIMP Deactivate() override;
    STDMETHODIMP CreateDocumentMgr(ITfDocumentMgr** manager) override;
    STDMETHODIMP EnumDocumentMgrs(IEnumTfDocumentMgrs** managers) override;
    STDMETHODIMP GetFocus(ITfDocumentMgr** focus) override;
    STDMETHODIMP SetFocus(ITfDocumentMgr* focus) override;
    STDMETHODIMP AssociateFocus(HWND window, ITfDocumentMgr* manager,
                                ITfDocumentMgr** previous) override;
    STDMETHODIMP IsThreadFocus(BOOL* focus) override;
    STDMETHODIMP GetFunctionProvider(REFCLSID clsid, ITfFunctionProvider** provider) override;
    STDMETHODIMP EnumFunctionProviders(IEnumTfFunctionProviders** providers) override;
    STDMETHODIMP GetGlobalCompartment(ITfCompartmentMgr** compartments) override;
    STDMETHODIMP ActivateEx(TfClientId* client, DWORD flags) override;
    STDMETHODIMP GetActiveFlags(DWORD* flags) override;

    // ITfKeystrokeMgr (keystroke_manager.cpp)
    STDMETHODIMP AdviseKeyEventSink(TfClientId client, ITfKeyEventSink* sink,
                                    BOOL foreground) override;
    STDMETHODIMP UnadviseKeyEventSink(TfClientId client) override;
    STDMETHODIMP GetForeground(CLSID* clsid) override;
    STDMETHODIMP TestKeyDown(WPARAM key, LPARAM data, BOOL* eaten) override;
    STDMETHODIMP TestKeyUp(WPARAM key, LPARAM data, BOOL* eaten) override;
    STDMETHODIMP KeyDown(WPARAM key, LPARAM data, BOOL* eaten) override;
    STDMETHODIMP KeyUp(WPARAM key, LPARAM data, BOOL* eaten) override;
    STDMETHODIMP GetPreservedKey(ITfContext* context, const TF_PRESERVEDKEY* key,
                                 GUID* guid) override;
    STDMETHODIMP IsPreservedKey(REFGUID guid, const TF_PRESERVEDKEY* key,
                                BOOL* registered) override;
    STDMETHODIMP PreserveKey(TfClientId client, REFGUID guid, const TF_PRESERVEDKEY* key,
                             const WCHAR* description, ULONG length) override;
    STDMETHODIMP UnpreserveKey(REFGUID guid, const TF_PRESERVEDKEY* key) override;
    STDMETHODIMP SetPreservedKeyDescription(REFGUID guid, const WCHAR* description,
                                            ULONG length) override;
    STDMETHODIMP GetPreservedKeyDescription(REFGUID guid, BSTR* description) override;
    STDMETHODIMP SimulatePreservedKey(ITfContext* context, REFGUID guid, BOOL* eaten) override;

    // ITfSource: ITfThreadMgrEventSink (others are kept and never called)
    STDMETHODIMP AdviseSink(REFIID riid, IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP UnadviseSink(DWORD cookie) override;

    // ITfLangBarItemMgr (lang_bar_items.cpp)
    STDMETHODIMP EnumItems(IEnumTfLangBarItems** items) override;
    STDMETHODIMP GetItem(REFGUID guid, ITfLangBarItem** item) override;
    STDMETHODIMP AddItem(ITfLangBarItem* item) override;
    STDMETHODIMP RemoveItem(ITfLangBarItem* item) override;
    STDMETHODIMP AdviseItemSink(ITfLangBarItemSink* sink, DWORD* cookie, REFGUID item) override;
    STDMETHODIMP UnadviseItemSink(DWORD cookie) override;
    STDMETHODIMP GetItemFloatingRect(DWORD thread, REFGUID guid, RECT* rect) override;
    STDMETHODIMP GetItemsStatus(ULONG count, const GUID* guids, DWORD* status) override;
    STDMETHODIMP GetItemNum(ULONG* count) override;
    STDMETHODIMP GetItems(ULONG count, ITfLangBarItem** items, TF_LANGBARITEMINFO* info,
                          DWORD* status, ULONG* fetched) override;
    STDMETHODIMP AdviseItemsSink(ULONG count, ITfLangBarItemSink** sinks, const GUID* guids,
                                 DWORD* cookies) override;
    STDMETHODIMP UnadviseItemsSink(ULONG count, DWORD* cookies) override;

    // ITfUIElementMgr (ui_elements.cpp)
    STDMETHODIMP BeginUIElement(ITfUIElement* element, BOOL* show, DWORD* id) override;
    STDMETHODIMP UpdateUIElement(DWORD id) override;
    STDMETHODIMP EndUIElement(DWORD id) override;
    STDMETHODIMP GetUIElement(DWORD id, ITfUIElement** element) override;
    STDMETHODIMP EnumUIElements(IEnumTfUIElements** elements) override;

private:
    struct Service {
        CLSID clsid;
        TfClientId client;
        Microsoft::WRL::ComPtr<ITfTextInputProcessor> processor;
    };
    struct KeySink {
        TfClientId client;
        Microsoft::WRL::ComPtr<ITfKeyEventSink> sink;
    };
    struct PreservedKey {
        TfClientId client;
        GUID guid;
        TF_PRESERVEDKEY key;
        std::wstring description;
    };
    struct EventSink {
        DWORD cookie;
        IID iid;
        Microsoft::WRL::ComPtr<IUnknown> sink;
    };
    struct ItemSink {
        DWORD cookie;
        GUID item;
        Microsoft::WRL::ComPtr<ITfLangBarItemSink> sink;
    };
    ~ThreadManager() = default;
    TfClientId newClient(REFCLSID clsid);
    HRESULT key(bool down, bool test, WPARAM key, LPARAM data, BOOL* eaten);
    const PreservedKey* preservedFor(WPARAM key, bool down) const;
    ITfKeyEventSink* foregroundSink() const;

    ULONG references_ = 1;
    // The system's thread manager, for its compartments and UI elements.
    Microsoft::WRL::ComPtr<ITfThreadMgr> system_;
    bool active_ = false;
    TfClientId application_ = TF_CLIENTID_NULL;
    TfClientId lastClient_ = 0;
    std::map<TfClientId, CLSID> clients_;
    std::vector<Service> services_;
    Microsoft::WRL::ComPtr<ITfDocumentMgr> focus_;
    std::map<HWND, Microsoft::WRL::ComPtr<ITfDocumentMgr>> associations_;
    std::vector<KeySink> keySinks_;
    TfClientId foreground_ = TF_CLIENTID_NULL;
    std::vector<PreservedKey> preserved_;
    std::vector<EventSink> eventSinks_;
    std::vector<Microsoft::WRL::ComPtr<ITfLangBarItem>> items_;
    std::vector<ItemSink> itemSinks_;
    std::map<DWORD, Microsoft::WRL::ComPtr<ITfUIElement>> elements_;
    DWORD lastElement_ = 0;
    DWORD nextCookie_ = 1;
};

} // namespace tovi::tsfhost
