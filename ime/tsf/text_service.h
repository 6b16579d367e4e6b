// tovi's text service: one object per thread that activates it. It takes the keys the engine
// claims (decided exactly as ImeProcessKey decides them), shows the code being typed as a
// composition with the code's display attribute, commits the engine's text through edit
// sessions, drives the thread's tool windows from the composition's place on the screen, and
// offers the input-mode button of the language bar.
#pragma once

#include "com_object.h"
#include "com_ptr.h"
#include "key_events.h"
#include "keyboard_compartments.h"
#include "language_bar_button.h"
#include "tool_windows.h"
#include "tsf_compositions.h"
#include "tsf_sdk.h"

#include <optional>
#include <string>
#include <vector>

namespace tovi::tsf {

class TextService final : public ITextInputProcessorEx,
                          public ITfThreadMgrEventSink,
                          public ITfTextEditSink,
                          public ITfKeyEventSink,
                          public ITfCompositionSink,
                          public ITfCompartmentEventSink,
                          public IDisplayAttributeProvider,
                          public CompositionClient,
                          public InputModeOwner,
                          public RefCounted<TextService> {
public:
    TextService() = default;
    ~TextService() override;

    TOVI_COM_REFCOUNT
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;

    // ITfTextInputProcessor(Ex)
    HRESULT STDMETHODCALLTYPE Activate(ITfThreadMgr* threadMgr, TfClientId clientId) override;
    HRESULT STDMETHODCALLTYPE ActivateEx(ITfThreadMgr* threadMgr, TfClientId clientId,
                                         DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Deactivate() override;

    // ITfThreadMgrEventSink
    HRESULT STDMETHODCALLTYPE OnInitDocumentMgr(ITfDocumentMgr* document) override;
    HRESULT STDMETHODCALLTYPE OnUninitDocumentMgr(ITfDocumentMgr* document) override;
    HRESULT STDMETHODCALLTYPE OnSetFocus(ITfDocumentMgr* focus, ITfDocumentMgr* previous) override;
    HRESULT STDMETHODCALLTYPE OnPushContext(ITfContext* context) override;
    HRESULT STDMETHODCALLTYPE OnPopContext(ITfContext* context) override;

    // ITfTextEditSink
    HRESULT STDMETHODCALLTYPE OnEndEdit(ITfContext* context, TfEditCookie cookie,
                                        ITfEditRecord* record) override;

    // ITfKeyEventSink
    HRESULT STDMETHODCALLTYPE OnSetFocus(BOOL foreground) override;
    HRESULT STDMETHODCALLTYPE OnTestKeyDown(ITfContext* context, WPARAM key, LPARAM data,
                                            BOOL* eaten) override;
    HRESULT STDMETHODCALLTYPE OnTestKeyUp(ITfContext* context, WPARAM key, LPARAM data,
                                          BOOL* eaten) override;
    HRESULT STDMETHODCALLTYPE OnKeyDown(ITfContext* context, WPARAM key, LPARAM data,
                                        BOOL* eaten) override;
    HRESULT STDMETHODCALLTYPE OnKeyUp(ITfContext* context, WPARAM key, LPARAM data,
                                      BOOL* eaten) override;
    HRESULT STDMETHODCALLTYPE OnPreservedKey(ITfContext* context, REFGUID guid,
                                             BOOL* eaten) override;

    // ITfCompositionSink
    HRESULT STDMETHODCALLTYPE OnCompositionTerminated(TfEditCookie cookie,
                                                      ITfComposition* composition) override;

    // ITfCompartmentEventSink: the thread's keyboard opened or closed.
    HRESULT STDMETHODCALLTYPE OnChange(REFGUID compartment) override;

    // IDisplayAttributeProvider
    HRESULT STDMETHODCALLTYPE EnumDisplayAttributeInfo(IEnumTfDisplayAttributeInfo** out) override;
    HRESULT STDMETHODCALLTYPE GetDisplayAttributeInfo(REFGUID guid,
                                                      ITfDisplayAttributeInfo** out) override;

    // CompositionClient
    void compositionChanged() override;
    void commit(std::u16string_view text) override;

    // InputModeOwner
    InputModeState inputMode() override;
    void applyInputMode(const InputModeChange& change) override;
    HWND menuOwner() override { return windows_.owner(); }

private:
    // Keys (text_service_keys.cpp).
    bool decide(ITfContext* context, WPARAM key, LPARAM data, bool release);
    HRESULT handleKey(ITfContext* context, WPARAM key, LPARAM data, bool release, bool test,
                      BOOL* eaten);

    // The document (text_service_edit.cpp).
    // Brings the document up to date with the engine: the queued commits, then the code as the
    // composition; at once inside a key handler, in a later session otherwise.
    void updateDocument(ITfContext* context, bool synchronous);
    void applyToDocument(TfEditCookie cookie, ITfContext* context);
    void insertCommitted(TfEditCookie cookie, ITfContext* context, const std::u16string& text);
    void showCode(TfEditCookie cookie, ITfContext* context, const std::u16string& code);
    void endComposition(TfEditCookie cookie);
    void readTextExtent(TfEditCookie cookie, ITfContext* context);
    // The code this service's document shows: the engine's, while its input is this service's.
    std::u16string engineCode();
    // Drops the composition and the engine's input of this service (focus left, the
    // application ended the composition).
    void abandonInput();
    ComPtr<ITfContext> focusedContext();

    // Sinks (text_service.cpp).
    void adviseTextEditSink(ITfContext* context);
    void unadviseTextEditSink();

    ComPtr<ITfThreadMgr> threadMgr_;
    TfClientId clientId_ = kNoClient;
    DWORD threadMgrCookie_ = TF_INVALID_COOKIE;
    DWORD textEditCookie_ = TF_INVALID_COOKIE;
    ComPtr<ITfContext> textEditContext_;
    bool keySinkAdvised_ = false;
    TfGuidAtom codeAttributeAtom_ = kInvalidGuidAtom;

    ComPtr<ITfComposition> composition_;
    ComPtr<ITfContext> compositionContext_;
    std::vector<std::u16string> pendingCommits_;
    bool insideKey_ = false;
    bool abandoning_ = false;
    std::optional<RECT> textExtent_;
    TestedKey testedKey_;

    OpenCloseWatch openClose_;
    ComPtr<LanguageBarButton> button_;
    ToolWindows windows_;
};

} // namespace tovi::tsf
