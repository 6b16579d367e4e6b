#include "language_bar_button.h"

#include "boundary/exception_barrier.h"
#include "dll_instance.h"
#include "tsf_guids.h"

#include <cwchar>
#include <string>
#include <vector>

namespace tovi::tsf {
namespace {

constexpr DWORD kSinkCookie = 1;

BSTR allocate(const std::u16string& text) {
    return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                             static_cast<UINT>(text.size()));
}

class PopupMenu {
public:
    PopupMenu() : menu_(CreatePopupMenu()) {}
    ~PopupMenu() {
        if (menu_)
            DestroyMenu(menu_);
    }
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;
    HMENU get() const { return menu_; }

private:
    HMENU menu_;
};

// Shows the items at `point` and waits for the user, with the module given back meanwhile; the
// command chosen, 0 for none.
std::uint32_t trackMenu(HWND owner, POINT point, const std::vector<InputModeMenuItem>& items) {
    const PopupMenu menu;
    if (!menu.get())
        return 0;
    for (const InputModeMenuItem& item : items) {
        const std::wstring caption(item.caption.begin(), item.caption.end());
        const UINT flags =
            item.command == 0 ? MF_SEPARATOR : MF_STRING | (item.checked ? MF_CHECKED : 0);
        AppendMenuW(menu.get(), flags, item.command, caption.c_str());
    }
    const ModuleGate::Released released(moduleGate());
    const BOOL chosen = TrackPopupMenuEx(menu.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON,
                                         point.x, point.y, owner, nullptr);
    return chosen > 0 ? static_cast<std::uint32_t>(chosen) : 0;
}

} // namespace

HRESULT LanguageBarButton::QueryInterface(REFIID iid, void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ITfLangBarItem) ||
        IsEqualIID(iid, kIidLangBarItemButton))
        *out = static_cast<ILangBarItemButton*>(this);
    else if (IsEqualIID(iid, IID_ITfSource))
        *out = static_cast<ITfSource*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

InputModeState LanguageBarButton::state() {
    return owner_ ? owner_->inputMode() : InputModeState{};
}

void LanguageBarButton::apply(const InputModeChange& change) {
    if (owner_)
        owner_->applyInputMode(change);
    refresh();
}

void LanguageBarButton::refresh() {
    if (sink_)
        sink_->OnUpdate(kLangBarUpdateText | kLangBarUpdateIcon | kLangBarUpdateTooltip);
}

HRESULT LanguageBarButton::GetInfo(TF_LANGBARITEMINFO* info) {
    if (!info)
        return E_INVALIDARG;
    *info = {};
    info->clsidService = kTextServiceClsid;
    info->guidItem = kLangBarInputModeItem;
    info->dwStyle = kLangBarStyleButton | kLangBarStyleShownInTray;
    info->ulSort = 0;
    std::wcsncpy(info->szDescription, L"tovi 输入方式", TF_LBI_DESC_MAXLEN - 1);
    return S_OK;
}

HRESULT LanguageBarButton::GetStatus(DWORD* status) {
    if (!status)
        return E_INVALIDARG;
    *status = 0;
    return S_OK;
}

HRESULT LanguageBarButton::Show(BOOL) {
    return E_NOTIMPL; // the language bar decides where the button shows
}

HRESULT LanguageBarButton::GetTooltipString(BSTR* tooltip) {
    if (!tooltip)
        return E_INVALIDARG;
    *tooltip = nullptr;
    return guarded<HRESULT>(E_FAIL, [&] {
        *tooltip = allocate(inputModeTooltip(state()));
        return *tooltip ? S_OK : E_OUTOFMEMORY;
    });
}

HRESULT LanguageBarButton::OnClick(LangBarClick click, POINT point, const RECT*) {
    return guarded<HRESULT>(E_FAIL, [&] {
        if (click == LangBarClick::Left) {
            apply(inputModeClick(state()));
        } else if (click == LangBarClick::Right && owner_) {
            if (const HWND window = owner_->menuOwner())
                // The service may have gone while the menu was up: apply asks it again.
                if (const std::uint32_t command = trackMenu(window, point, inputModeMenu(state())))
                    apply(inputModeCommand(command));
        }
        return S_OK;
    });
}

HRESULT LanguageBarButton::InitMenu(IMenu* menu) {
    if (!menu)
        return E_INVALIDARG;
    return guarded<HRESULT>(E_FAIL, [&] {
        for (const InputModeMenuItem& item : inputModeMenu(state())) {
            const std::wstring caption(item.caption.begin(), item.caption.end());
            const DWORD flags = item.command == 0 ? kMenuItemSeparator
                                : item.checked    ? kMenuItemChecked
                                                  : 0;
            menu->AddMenuItem(item.command, flags, nullptr, nullptr, caption.c_str(),
                              static_cast<ULONG>(caption.size()), nullptr);
        }
        return S_OK;
    });
}

HRESULT LanguageBarButton::OnMenuSelect(UINT id) {
    return guarded<HRESULT>(E_FAIL, [&] {
        apply(inputModeCommand(id));
        return S_OK;
    });
}

HRESULT LanguageBarButton::GetIcon(HICON* icon) {
    if (!icon)
        return E_INVALIDARG;
    *icon =
        static_cast<HICON>(LoadImageW(dllInstance(), MAKEINTRESOURCEW(1), IMAGE_ICON, 16, 16, 0));
    return *icon ? S_OK : E_FAIL;
}

HRESULT LanguageBarButton::GetText(BSTR* text) {
    if (!text)
        return E_INVALIDARG;
    *text = nullptr;
    return guarded<HRESULT>(E_FAIL, [&] {
        *text = allocate(inputModeText(state()));
        return *text ? S_OK : E_OUTOFMEMORY;
    });
}

HRESULT LanguageBarButton::AdviseSink(REFIID iid, IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie)
        return E_INVALIDARG;
    if (!IsEqualIID(iid, IID_ITfLangBarItemSink))
        return CONNECT_E_CANNOTCONNECT;
    if (sink_)
        return CONNECT_E_ADVISELIMIT;
    ComPtr<ITfLangBarItemSink> itemSink;
    if (FAILED(
            sink->QueryInterface(IID_ITfLangBarItemSink, reinterpret_cast<void**>(itemSink.put()))))
        return E_NOINTERFACE;
    sink_ = itemSink;
    *cookie = kSinkCookie;
    return S_OK;
}

HRESULT LanguageBarButton::UnadviseSink(DWORD cookie) {
    if (cookie != kSinkCookie || !sink_)
        return CONNECT_E_NOCONNECTION;
    sink_.reset();
    return S_OK;
}

} // namespace tovi::tsf
