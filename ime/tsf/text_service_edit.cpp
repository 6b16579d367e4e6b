// The document: the engine's committed text goes in at the selection (in place of the
// composition), and the code being typed is the composition, marked with the code's display
// attribute; its extent on the screen places the candidate window.
#include "boundary/process_host.h"
#include "display_attributes.h"
#include "edit_session.h"
#include "text_service.h"

namespace tovi::tsf {
namespace {

// The most text one commit puts into a document, as much as an IMM32 result string holds.
constexpr std::size_t kMostCommitUnits = 254;

const WCHAR* units(const std::u16string& text) {
    return reinterpret_cast<const WCHAR*>(text.c_str());
}

// Puts the selection at the end of `range`.
void selectEnd(TfEditCookie cookie, ITfContext* context, ITfRange* range) {
    ComPtr<ITfRange> end;
    if (FAILED(range->Clone(end.put())) || !end)
        return;
    end->Collapse(cookie, TF_ANCHOR_END);
    TF_SELECTION selection{};
    selection.range = end.get();
    selection.style.ase = TF_AE_NONE;
    selection.style.fInterimChar = FALSE;
    context->SetSelection(cookie, 1, &selection);
}

} // namespace

void TextService::compositionChanged() {
    // Inside a key the handler brings the document up to date when the engine is done.
    if (!insideKey_ && !abandoning_)
        updateDocument(nullptr, false);
}

void TextService::commit(std::u16string_view text) {
    pendingCommits_.emplace_back(text.substr(0, kMostCommitUnits));
    if (!insideKey_)
        updateDocument(nullptr, false);
}

std::u16string TextService::engineCode() {
    ProcessHost* host = processHost();
    Module* module = host ? host->builtModule() : nullptr;
    const ImeEngine* engine = module ? module->engine() : nullptr;
    if (!engine || engine->context() != compositions().handleOf(this))
        return {};
    return engine->GetCode();
}

void TextService::updateDocument(ITfContext* context, bool synchronous) {
    ComPtr<ITfContext> target = context               ? ComPtr<ITfContext>::share(context)
                                : compositionContext_ ? compositionContext_
                                                      : focusedContext();
    if (!target) {
        pendingCommits_.clear(); // no document to write into
        windows_.update(std::nullopt);
        return;
    }
    auto session = [self = ComPtr<ITfKeyEventSink>::share(this), this,
                    target](TfEditCookie cookie) { applyToDocument(cookie, target.get()); };
    // A document that grants no session at once (it is busy) gets the change in a later one.
    if (synchronous && requestEditSession(target.get(), clientId_, true, session))
        return;
    if (!requestEditSession(target.get(), clientId_, false, session))
        pendingCommits_.clear(); // the document takes no edits
    windows_.update(textExtent_);
}

void TextService::applyToDocument(TfEditCookie cookie, ITfContext* context) {
    const std::vector<std::u16string> commits = std::exchange(pendingCommits_, {});
    for (const std::u16string& text : commits)
        insertCommitted(cookie, context, text);
    showCode(cookie, context, engineCode());
    readTextExtent(cookie, context);
    windows_.update(textExtent_);
}

void TextService::insertCommitted(TfEditCookie cookie, ITfContext* context,
                                  const std::u16string& text) {
    if (composition_) {
        ComPtr<ITfRange> range;
        if (SUCCEEDED(composition_->GetRange(range.put())) && range) {
            clearDisplayAttribute(cookie, context, range.get());
            range->SetText(cookie, 0, units(text), static_cast<LONG>(text.size()));
            selectEnd(cookie, context, range.get());
        }
        endComposition(cookie);
        return;
    }
    const auto insert =
        ComPtr<ITfContext>::share(context).query<ITfInsertAtSelection>(IID_ITfInsertAtSelection);
    ComPtr<ITfRange> range;
    if (insert &&
        SUCCEEDED(insert->InsertTextAtSelection(cookie, 0, units(text),
                                                static_cast<LONG>(text.size()), range.put())) &&
        range)
        selectEnd(cookie, context, range.get());
}

void TextService::showCode(TfEditCookie cookie, ITfContext* context, const std::u16string& code) {
    if (code.empty()) {
        if (composition_) {
            ComPtr<ITfRange> range;
            if (SUCCEEDED(composition_->GetRange(range.put())) && range)
                range->SetText(cookie, 0, L"", 0);
            endComposition(cookie);
        }
        return;
    }
    if (!composition_) {
        const auto insert = ComPtr<ITfContext>::share(context).query<ITfInsertAtSelection>(
            IID_ITfInsertAtSelection);
        const auto compositions = ComPtr<ITfContext>::share(context).query<ITfContextComposition>(
            IID_ITfContextComposition);
        ComPtr<ITfRange> at;
        if (!insert || !compositions ||
            FAILED(insert->InsertTextAtSelection(cookie, TF_IAS_QUERYONLY, nullptr, 0, at.put())) ||
            !at)
            return;
        if (FAILED(compositions->StartComposition(
                cookie, at.get(), static_cast<ITfCompositionSink*>(this), composition_.put())) ||
            !composition_) {
            composition_.reset(); // the document refuses compositions: the windows show the code
            return;
        }
        compositionContext_ = ComPtr<ITfContext>::share(context);
    }
    ComPtr<ITfRange> range;
    if (FAILED(composition_->GetRange(range.put())) || !range)
        return;
    range->SetText(cookie, TF_ST_CORRECTION, units(code), static_cast<LONG>(code.size()));
    if (codeAttributeAtom_ != kInvalidGuidAtom) {
        ComPtr<ITfProperty> attribute;
        if (SUCCEEDED(context->GetProperty(GUID_PROP_ATTRIBUTE, attribute.put())) && attribute) {
            VARIANT value;
            VariantInit(&value);
            value.vt = VT_I4;
            value.lVal = static_cast<LONG>(codeAttributeAtom_);
            attribute->SetValue(cookie, range.get(), &value);
        }
    }
    selectEnd(cookie, context, range.get());
}

void TextService::endComposition(TfEditCookie cookie) {
    if (composition_)
        composition_->EndComposition(cookie);
    composition_.reset();
    compositionContext_.reset();
}

void TextService::readTextExtent(TfEditCookie cookie, ITfContext* context) {
    textExtent_.reset();
    ComPtr<ITfRange> range;
    if (composition_) {
        composition_->GetRange(range.put());
    } else {
        TF_SELECTION selection{};
        ULONG fetched = 0;
        if (SUCCEEDED(
                context->GetSelection(cookie, TF_DEFAULT_SELECTION, 1, &selection, &fetched)) &&
            fetched == 1)
            range = ComPtr<ITfRange>::adopt(selection.range);
    }
    ComPtr<ITfContextView> view;
    if (!range || FAILED(context->GetActiveView(view.put())) || !view)
        return;
    RECT extent{};
    BOOL clipped = FALSE;
    if (SUCCEEDED(view->GetTextExt(cookie, range.get(), &extent, &clipped)) &&
        (extent.right > extent.left || extent.bottom > extent.top))
        textExtent_ = extent;
}

void TextService::abandonInput() {
    abandoning_ = true;
    struct Leave {
        bool& flag;
        ~Leave() { flag = false; }
    } leave{abandoning_};
    pendingCommits_.clear();
    ProcessHost* host = processHost();
    Module* module = host ? host->builtModule() : nullptr;
    ImeEngine* engine = module ? module->engine() : nullptr;
    if (engine && engine->context() == compositions().handleOf(this))
        module->resetInput();
    if (composition_ && compositionContext_) {
        // The code leaves the document it was typed in. The session holds the composition
        // itself: it may run after the service moved on to another document or deactivated.
        const ComPtr<ITfContext> document = compositionContext_;
        requestEditSession(document.get(), clientId_, false,
                           [composition = composition_](TfEditCookie cookie) {
                               ComPtr<ITfRange> range;
                               if (SUCCEEDED(composition->GetRange(range.put())) && range)
                                   range->SetText(cookie, 0, L"", 0);
                               composition->EndComposition(cookie);
                           });
    }
    composition_.reset();
    compositionContext_.reset();
    windows_.update(std::nullopt);
}

} // namespace tovi::tsf
