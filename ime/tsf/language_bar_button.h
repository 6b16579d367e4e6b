// The input-mode button of the language bar (the tray's input indicator on Windows 8 and
// later): it shows the scheme and the full-width mode, switches the scheme on a left click and
// offers both schemes and the full-width modes in its menu: through InitMenu where a language
// bar asks for it, and as its own popup menu on a right click, which the tray's indicator leaves
// to the service.
#pragma once

#include "com_object.h"
#include "com_ptr.h"
#include "tsf_sdk.h"
#include "ui/input_mode_button.h"

namespace tovi::tsf {

// Where the button reads the modes and sends a change.
class InputModeOwner {
public:
    virtual ~InputModeOwner() = default;
    virtual InputModeState inputMode() = 0;
    virtual void applyInputMode(const InputModeChange& change) = 0;
    // A window of the calling thread to own the popup menu, or null.
    virtual HWND menuOwner() = 0;
};

class LanguageBarButton final : public ILangBarItemButton,
                                public ITfSource,
                                public RefCounted<LanguageBarButton> {
public:
    explicit LanguageBarButton(InputModeOwner& owner) : owner_(&owner) {}
    // The owner goes away: the button no longer reaches it.
    void detach() { owner_ = nullptr; }
    // Tells the language bar to read the text, the icon and the tooltip again.
    void refresh();

    TOVI_COM_REFCOUNT
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE GetInfo(TF_LANGBARITEMINFO* info) override;
    HRESULT STDMETHODCALLTYPE GetStatus(DWORD* status) override;
    HRESULT STDMETHODCALLTYPE Show(BOOL show) override;
    HRESULT STDMETHODCALLTYPE GetTooltipString(BSTR* tooltip) override;
    HRESULT STDMETHODCALLTYPE OnClick(LangBarClick click, POINT point, const RECT* area) override;
    HRESULT STDMETHODCALLTYPE InitMenu(IMenu* menu) override;
    HRESULT STDMETHODCALLTYPE OnMenuSelect(UINT id) override;
    HRESULT STDMETHODCALLTYPE GetIcon(HICON* icon) override;
    HRESULT STDMETHODCALLTYPE GetText(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE AdviseSink(REFIID iid, IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE UnadviseSink(DWORD cookie) override;

private:
    InputModeState state();
    void apply(const InputModeChange& change);

    InputModeOwner* owner_;
    ComPtr<ITfLangBarItemSink> sink_;
};

} // namespace tovi::tsf
