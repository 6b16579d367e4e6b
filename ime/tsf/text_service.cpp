// The text service's life: activation with its sinks and the language bar button, focus
// changes, the display attribute provider and the input modes.
#include "text_service.h"

#include "boundary/exception_barrier.h"
#include "boundary/process_host.h"
#include "boundary/thread_ui.h"
#include "display_attributes.h"
#include "dll_instance.h"
#include "tsf_guids.h"

namespace tovi::tsf {
namespace {

// The window the document's view is in, or null.
HWND windowOf(ITfContext* context) {
    ComPtr<ITfContextView> view;
    HWND window = nullptr;
    if (context && SUCCEEDED(context->GetActiveView(view.put())) && view &&
        FAILED(view->GetWnd(&window)))
        window = nullptr;
    return window;
}

} // namespace

TextService::~TextService() {
    // Deactivate ran unless the framework skipped it; nothing may point here afterwards.
    compositions().remove(this);
    if (button_)
        button_->detach();
}

HRESULT TextService::QueryInterface(REFIID iid, void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ITfTextInputProcessor) ||
        IsEqualIID(iid, kIidTextInputProcessorEx))
        *out = static_cast<ITextInputProcessorEx*>(this);
    else if (IsEqualIID(iid, IID_ITfThreadMgrEventSink))
        *out = static_cast<ITfThreadMgrEventSink*>(this);
    else if (IsEqualIID(iid, IID_ITfTextEditSink))
        *out = static_cast<ITfTextEditSink*>(this);
    else if (IsEqualIID(iid, IID_ITfKeyEventSink))
        *out = static_cast<ITfKeyEventSink*>(this);
    else if (IsEqualIID(iid, IID_ITfCompositionSink))
        *out = static_cast<ITfCompositionSink*>(this);
    else if (IsEqualIID(iid, IID_ITfCompartmentEventSink))
        *out = static_cast<ITfCompartmentEventSink*>(this);
    else if (IsEqualIID(iid, kIidDisplayAttributeProvider))
        *out = static_cast<IDisplayAttributeProvider*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT TextService::Activate(ITfThreadMgr* threadMgr, TfClientId clientId) {
    return ActivateEx(threadMgr, clientId, 0);
}

HRESULT TextService::ActivateEx(ITfThreadMgr* threadMgr, TfClientId clientId, DWORD) {
    if (!threadMgr)
        return E_INVALIDARG;
    return guarded<HRESULT>(E_FAIL, [&] {
        threadMgr_ = ComPtr<ITfThreadMgr>::share(threadMgr);
        clientId_ = clientId;
        registerOwnerClass(dllInstance());
        compositions().add(this);
        if (const auto source = threadMgr_.query<ITfSource>(IID_ITfSource))
            source->AdviseSink(IID_ITfThreadMgrEventSink, static_cast<ITfThreadMgrEventSink*>(this),
                               &threadMgrCookie_);
        if (const auto keys = threadMgr_.query<ITfKeystrokeMgr>(IID_ITfKeystrokeMgr))
            keySinkAdvised_ = SUCCEEDED(
                keys->AdviseKeyEventSink(clientId_, static_cast<ITfKeyEventSink*>(this), TRUE));
        openKeyboard(threadMgr_.get(), clientId_);
        openClose_.start(threadMgr_.get(), static_cast<ITfCompartmentEventSink*>(this));
        if (const auto categories = [] {
                ComPtr<ITfCategoryMgr> made;
                CoCreateInstance(CLSID_TF_CategoryMgr, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_ITfCategoryMgr, reinterpret_cast<void**>(made.put()));
                return made;
            }())
            categories->RegisterGUID(kCodeDisplayAttributeGuid, &codeAttributeAtom_);
        if (auto items = threadMgr_.query<ITfLangBarItemMgr>(IID_ITfLangBarItemMgr)) {
            button_ = ComPtr<LanguageBarButton>::adopt(makeComObject<LanguageBarButton>(*this));
            if (button_)
                items->AddItem(button_.get());
        }
        // The document that has the focus now gets the status bar at once.
        if (ComPtr<ITfContext> context = focusedContext()) {
            adviseTextEditSink(context.get());
            windows_.showStatus(windowOf(context.get()));
        }
        return S_OK;
    });
}

HRESULT TextService::Deactivate() {
    return guarded<HRESULT>(E_FAIL, [&] {
        if (composition_)
            abandonInput();
        unadviseTextEditSink();
        openClose_.stop();
        if (threadMgr_) {
            if (keySinkAdvised_)
                if (const auto keys = threadMgr_.query<ITfKeystrokeMgr>(IID_ITfKeystrokeMgr))
                    keys->UnadviseKeyEventSink(clientId_);
            if (threadMgrCookie_ != TF_INVALID_COOKIE)
                if (const auto source = threadMgr_.query<ITfSource>(IID_ITfSource))
                    source->UnadviseSink(threadMgrCookie_);
            if (button_)
                if (auto items = threadMgr_.query<ITfLangBarItemMgr>(IID_ITfLangBarItemMgr))
                    items->RemoveItem(button_.get());
        }
        if (button_)
            button_->detach();
        button_.reset();
        keySinkAdvised_ = false;
        threadMgrCookie_ = TF_INVALID_COOKIE;
        windows_.destroy();
        compositions().remove(this);
        composition_.reset();
        compositionContext_.reset();
        pendingCommits_.clear();
        threadMgr_.reset();
        clientId_ = kNoClient;
        return S_OK;
    });
}

HRESULT TextService::OnInitDocumentMgr(ITfDocumentMgr*) {
    return S_OK;
}

HRESULT TextService::OnUninitDocumentMgr(ITfDocumentMgr*) {
    return S_OK;
}

HRESULT TextService::OnSetFocus(ITfDocumentMgr* focus, ITfDocumentMgr*) {
    return guarded<HRESULT>(S_OK, [&] {
        // The input of the document that loses the focus ends without a result, as it ends when
        // an IMM32 context is deactivated.
        if (composition_ || !engineCode().empty())
            abandonInput();
        unadviseTextEditSink();
        ComPtr<ITfContext> top;
        if (focus)
            focus->GetTop(top.put());
        if (top) {
            adviseTextEditSink(top.get());
            windows_.showStatus(windowOf(top.get()));
        } else {
            windows_.hide();
        }
        return S_OK;
    });
}

HRESULT TextService::OnPushContext(ITfContext*) {
    return S_OK;
}

HRESULT TextService::OnPopContext(ITfContext*) {
    return S_OK;
}

HRESULT TextService::OnEndEdit(ITfContext* context, TfEditCookie cookie, ITfEditRecord* record) {
    return guarded<HRESULT>(S_OK, [&] {
        // The selection moved out of the code (a click elsewhere in the document): the input
        // ends there, as it does when the caret moves.
        BOOL selectionChanged = FALSE;
        if (!composition_ || !context || !record ||
            FAILED(record->GetSelectionStatus(&selectionChanged)) || !selectionChanged)
            return S_OK;
        TF_SELECTION selection{};
        ULONG fetched = 0;
        if (FAILED(context->GetSelection(cookie, TF_DEFAULT_SELECTION, 1, &selection, &fetched)) ||
            fetched != 1)
            return S_OK;
        const auto selected = ComPtr<ITfRange>::adopt(selection.range);
        ComPtr<ITfRange> code;
        if (FAILED(composition_->GetRange(code.put())) || !code)
            return S_OK;
        LONG startToStart = 0;
        LONG endToEnd = 0;
        selected->CompareStart(cookie, code.get(), TF_ANCHOR_START, &startToStart);
        selected->CompareEnd(cookie, code.get(), TF_ANCHOR_END, &endToEnd);
        if (startToStart < 0 || endToEnd > 0)
            abandonInput();
        return S_OK;
    });
}

HRESULT TextService::OnCompositionTerminated(TfEditCookie cookie, ITfComposition* composition) {
    return guarded<HRESULT>(S_OK, [&] {
        // The application ended the composition: what it holds stays in the document as plain
        // text, and the engine's code goes with it.
        if (composition_ && composition_.get() == composition) {
            ComPtr<ITfRange> range;
            if (SUCCEEDED(composition_->GetRange(range.put())))
                clearDisplayAttribute(cookie, compositionContext_.get(), range.get());
            composition_.reset();
            compositionContext_.reset();
            abandonInput();
        }
        return S_OK;
    });
}

HRESULT TextService::OnChange(REFGUID compartment) {
    return guarded<HRESULT>(S_OK, [&] {
        if (!IsEqualGUID(compartment, GUID_COMPARTMENT_KEYBOARD_OPENCLOSE))
            return S_OK;
        // Closing ends the input without a result, as moving the focus away does.
        if (!keyboardOpen(threadMgr_.get()) && (composition_ || !engineCode().empty()))
            abandonInput();
        if (button_)
            button_->refresh();
        return S_OK;
    });
}

HRESULT TextService::EnumDisplayAttributeInfo(IEnumTfDisplayAttributeInfo** out) {
    if (!out)
        return E_INVALIDARG;
    *out = makeComObject<DisplayAttributeList>();
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT TextService::GetDisplayAttributeInfo(REFGUID guid, ITfDisplayAttributeInfo** out) {
    if (!out)
        return E_INVALIDARG;
    *out = nullptr;
    if (!IsEqualGUID(guid, kCodeDisplayAttributeGuid))
        return E_INVALIDARG;
    *out = newCodeDisplayAttribute();
    return *out ? S_OK : E_OUTOFMEMORY;
}

void TextService::adviseTextEditSink(ITfContext* context) {
    unadviseTextEditSink();
    if (!context)
        return;
    textEditContext_ = ComPtr<ITfContext>::share(context);
    if (const auto source = textEditContext_.query<ITfSource>(IID_ITfSource))
        if (FAILED(source->AdviseSink(IID_ITfTextEditSink, static_cast<ITfTextEditSink*>(this),
                                      &textEditCookie_)))
            textEditCookie_ = TF_INVALID_COOKIE;
}

void TextService::unadviseTextEditSink() {
    if (textEditContext_ && textEditCookie_ != TF_INVALID_COOKIE)
        if (const auto source = textEditContext_.query<ITfSource>(IID_ITfSource))
            source->UnadviseSink(textEditCookie_);
    textEditCookie_ = TF_INVALID_COOKIE;
    textEditContext_.reset();
}

ComPtr<ITfContext> TextService::focusedContext() {
    ComPtr<ITfDocumentMgr> document;
    ComPtr<ITfContext> top;
    if (threadMgr_ && SUCCEEDED(threadMgr_->GetFocus(document.put())) && document)
        document->GetTop(top.put());
    return top;
}

InputModeState TextService::inputMode() {
    InputModeState state;
    ProcessHost* host = processHost();
    Module* module = host ? host->module() : nullptr;
    if (!module)
        return state;
    state.scheme = module->settings().scheme();
    state.settingsFlags = module->settings().flags;
    state.englishMode = module->flags().englishMode;
    state.keyboardClosed = threadMgr_ && !keyboardOpen(threadMgr_.get());
    return state;
}

void TextService::applyInputMode(const InputModeChange& change) {
    ProcessHost* host = processHost();
    Module* module = host ? host->module() : nullptr;
    if (!module)
        return;
    if (change.scheme && *change.scheme != module->settings().scheme()) {
        if (composition_ || !engineCode().empty())
            abandonInput();
        module->settings().setScheme(*change.scheme);
    }
    module->settings().flags ^= change.settingsFlagsFlip;
    host->saveSettings();
    if (ThreadUi* ui = host->currentThreadUi())
        ui->invalidateToolWindows();
}

} // namespace tovi::tsf
