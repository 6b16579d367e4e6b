#include "engine/ime_engine.h"

#include "engine/key_tables.h"
#include "engine/modifier_taps.h"
#include "engine/virtual_keys.h"

namespace tovi {
namespace {

// The key data of a right-Ctrl release: transition and previous-state bits, the extended bit,
// scan code 0x1D, repeat count 1.
constexpr std::uint32_t kRightCtrlRelease = 0xC11D0001;

bool isMovementKey(unsigned key) {
    return key == vk::Return || key == vk::End || key == vk::Home || key == vk::Left ||
           key == vk::Up || key == vk::Right || key == vk::Down || key == vk::Delete;
}

// Whether a key's character can go into the application as text on its own: not a control
// character (the line feed of Ctrl+J, the Backspace of an edited code) and not half of a
// surrogate pair (a layout that types a character outside the basic plane).
bool isTypedText(char16_t unit) {
    return unit >= u' ' && unit != u'\x7F' && (unit < 0xD800 || unit > 0xDFFF);
}

} // namespace

bool ImeEngine::fullWidthRuleHolds(unsigned key, bool shiftDown) const {
    return (settings().has(flag::FullWidthLetters) && isFullWidthKey(key)) ||
           (settings().has(flag::FullWidthSymbols) && isPunctuationKey(key, shiftDown));
}

void ImeEngine::setEnglishMode(bool on) {
    if (flags().englishMode != on) {
        flags().englishMode = on;
        host().invalidateStatusWindow();
    }
}

LookupOptions ImeEngine::lookupOptions() const {
    LookupOptions options;
    options.traditionalOutput = flags().traditionalOutput;
    options.selectionPending = flags().selectionPending;
    options.verticalLayout = settings().has(flag::VerticalLayout);
    return options;
}

bool ImeEngine::ProcessKey(ContextHandle context, const KeyEvent& key) {
    // What a key does before it reaches ToAscii (a cancelled code, an association, a Ctrl
    // selection, the reset of a scheme switch) goes to the context the key came with: with two
    // contexts in a thread, the one of the previous key may belong to another window.
    context_ = context;
    // Every key counts for the modifier taps, also the keys that return below before reaching
    // the tap steps.
    const bool shiftTapped = rightShiftTap_.follow(key, host().isKeyDown(vk::RShift));
    followCtrlCombination(key, flags().ctrlCombined);
    if (const auto decided = cancelOnMovementKey(key.virtualKey))
        return *decided;
    if (key.virtualKey != vk::Return)
        enterCancelled_ = false;
    // A shown soft keyboard takes every key it has a symbol for.
    if (services_.softKeyboard.isShown() && isFullWidthKey(key.virtualKey) && !flags().englishMode)
        return true;
    toggleFullWidth(key);
    if (const auto decided = keypadHotkey(key))
        return *decided;
    if (shiftTapped)
        toggleEnglishMode();
    if (const auto decided = controlKey(key))
        return *decided;
    return claimsForInput(key);
}

// Keys that move the caret or confirm cancel the code; Enter on a code is eaten once.
std::optional<bool> ImeEngine::cancelOnMovementKey(unsigned key) {
    if (flags().englishMode || !isMovementKey(key))
        return std::nullopt;
    if (key == vk::Return && !code_.empty() && !enterCancelled_) {
        ResetInput();
        SendEndComposition();
        enterCancelled_ = true;
        flags().selectionPending = false;
        return true;
    }
    ResetInput();
    SendEndComposition();
    return std::nullopt;
}

// Shift+Space toggles full-width letters, Ctrl with a period full-width symbols; a held key
// toggles once.
void ImeEngine::toggleFullWidth(const KeyEvent& key) {
    const unsigned vk = key.virtualKey;
    if (!key.isFirstPress())
        return;
    std::uint32_t toggled = 0;
    if (key.isDown(vk::Shift) && vk == vk::Space)
        toggled |= flag::FullWidthLetters;
    if (key.isDown(vk::Control) && (vk == vk::OemPeriod || vk == vk::Decimal))
        toggled |= flag::FullWidthSymbols;
    for (const std::uint32_t bit : {flag::FullWidthLetters, flag::FullWidthSymbols}) {
        if (toggled & bit) {
            settings().flags ^= bit;
            host().invalidateStatusWindow();
            host().showInfo(info::FullWidthToggled);
        }
    }
}

// Keypad plus (association), keypad minus (web search), Ctrl with a keypad digit (select and
// promote) and Ctrl+J (traditional output). The Ctrl hotkeys act at the first press of their
// key; its auto-repeats and its release go on as Ctrl combinations.
std::optional<bool> ImeEngine::keypadHotkey(const KeyEvent& key) {
    const unsigned vk = key.virtualKey;
    const bool ctrl = key.isDown(vk::Control) && key.isFirstPress();
    if (vk == vk::Add) {
        flags().associationPending = true;
        // Sent twice, as the key's press and release once both did.
        OnCommand(EngineCommand::Association);
        OnCommand(EngineCommand::Association);
        return true;
    }
    // One search a press of keypad minus; its auto-repeats and its release are the module's too.
    if (vk == vk::Subtract && settings().has(flag::WebSearch) && process().mayLaunch()) {
        if (key.isFirstPress())
            host().openUrl(webSearchUrl(lastCommitted_));
        return true;
    }
    if (ctrl && vk >= vk::Numpad1 && vk <= vk::Numpad9) {
        flags().ctrlSelect = true;
        OnChar(static_cast<char16_t>(u'1' + (vk - vk::Numpad1)));
        return true;
    }
    if (ctrl && vk == 'J') {
        flags().traditionalOutput = !flags().traditionalOutput;
        return true;
    }
    return std::nullopt;
}

// The end of a right-Shift tap toggles English mode, which turns full-width symbols off (and
// full-width letters with them) or back on.
void ImeEngine::toggleEnglishMode() {
    ResetInput();
    SendEndComposition();
    setEnglishMode(!flags().englishMode);
    if (flags().englishMode)
        settings().flags &= ~flag::FullWidthSymbols;
    else
        settings().flags |= flag::FullWidthSymbols;
    if (settings().has(flag::FullWidthLetters) && flags().englishMode)
        settings().flags &= ~flag::FullWidthLetters;
}

// Ctrl combinations belong to the application; the release of a lone right Ctrl asks for the
// other scheme.
std::optional<bool> ImeEngine::controlKey(const KeyEvent& key) {
    if (key.virtualKey != vk::Control && key.isDown(vk::Control))
        return false;
    if (key.virtualKey == vk::Control && key.keyData == kRightCtrlRelease &&
        !flags().ctrlCombined && !flags().firstKeyGuard) {
        host().invalidateStatusWindow();
        if (const Scheme scheme = settings().scheme(); hasEngine(scheme))
            process().requestedScheme = scheme == Scheme::Keypad ? Scheme::Pinyin : Scheme::Keypad;
        return true;
    }
    flags().firstKeyGuard = false;
    return std::nullopt;
}

// The keys left: full-width input, CapsLock, and the keys the code or the scheme wants.
bool ImeEngine::claimsForInput(const KeyEvent& key) {
    const unsigned vk = key.virtualKey;
    const bool shift = key.isDown(vk::Shift);
    // Keys with a full-width form are the module's while full-width input is on; keypad digits
    // stay the scheme's.
    if (fullWidthRuleHolds(vk, shift) && !(!flags().englishMode && vk::isNumpadDigit(vk)))
        return true;
    // CapsLock follows its light into and out of English mode.
    if (vk == vk::Capital) {
        setEnglishMode(key.isToggled(vk::Capital));
        flags().capsLock = key.isToggled(vk::Capital);
        ResetInput();
        SendEndComposition();
    }
    if (shift || key.isDown(vk::Control) || key.isDown(vk::Menu) || key.isToggled(vk::Capital))
        return false;
    if ((vk == vk::Back || vk == vk::Decimal) && !code_.empty())
        return true;
    if (vk == vk::Space && (!code_.empty() || (hasCandidates() && SpaceSelects())))
        return true;
    if (vk == vk::Escape && (!code_.empty() || hasCandidates()))
        return true;
    if (!flags().englishMode && OnKey(vk))
        return true;
    return (vk == vk::Prior || vk == vk::Next) && !code_.empty();
}

std::optional<EngineCommand> ImeEngine::commandFor(unsigned key) {
    switch (key) {
    case vk::Multiply:
        return EngineCommand::Companion;
    case vk::Divide:
        return EngineCommand::SymbolList;
    case vk::Space:
    case vk::Numpad0:
        return EngineCommand::Confirm;
    case vk::OemComma:
    case vk::OemMinus:
    case vk::Prior:
        return EngineCommand::PreviousPage;
    case vk::OemPeriod:
    case vk::OemPlus:
    case vk::Next:
        return EngineCommand::NextPage;
    case vk::Back:
    case vk::Decimal:
        return EngineCommand::Backspace;
    default:
        return std::nullopt;
    }
}

void ImeEngine::ToAscii(ContextHandle context, const KeyEvent& key) {
    const unsigned vk = key.virtualKey;
    const bool shift = key.isDown(vk::Shift);

    context_ = context;
    // A keypad code this long without candidates is a typing error: start over.
    if (code_.size() >= 12 && vk::isNumpadDigit(vk) && settings().scheme() == Scheme::Keypad &&
        !hasCandidates()) {
        host().beep();
        ResetInput();
    }
    if (vk == vk::Escape) {
        ResetInput();
        return;
    }
    if (CommitSoftKey(vk, key.character, shift))
        return;
    if (code_.empty() && !hasCandidates() && fullWidthRuleHolds(vk, shift) &&
        !(!flags().englishMode && vk::isNumpadDigit(vk))) {
        CommitFullWidth(key.character);
        return;
    }
    // Keypad plus did its work when ProcessKey claimed it.
    if (vk == vk::Add)
        return;
    // Keypad 0 on an empty code types a plain space, into the context of the key (with two
    // contexts in a thread, the one selected last may belong to another window).
    if (vk == vk::Numpad0 && code_.empty() && !flags().selectionPending) {
        if (context_)
            host().commitText(context_, u" ");
        return;
    }
    if (const auto command = commandFor(vk))
        OnCommand(*command);
    else
        OnChar(key.character);
}

void ImeEngine::ResetInput() {
    host().showInfo(schemeHint(settings().scheme()));
    Clear();
    host().invalidateWindows();
    SendEndComposition();
}

bool ImeEngine::SelectCandidate(int n) {
    const std::u16string text = candidates_.itemText(n);
    if (text.empty()) {
        host().beep();
        host().showInfo(info::NothingToSelect);
        return false;
    }
    // A candidate chosen with Ctrl moves to the front of its code, unless it is there already;
    // punctuation that commits without feedback is never moved.
    const bool movable = !(text.size() == 1 && isNoFeedbackPunctuation(text[0]));
    if (movable && flags().ctrlSelect && candidates_.first() + n != 0) {
        lookup().promote(
            candidates_.code(),
            textToCommit(text, CommitContext{code_, true, settings().has(flag::WordAssociation),
                                             lastCommitted_}));
    }
    lastCode_ = code_;
    lastCommitted_ =
        textToCommit(text, CommitContext{code_, flags().ctrlSelect,
                                         settings().has(flag::WordAssociation), lastCommitted_});
    CommitCandidateText(lastCommitted_);
    return true;
}

void ImeEngine::CommitCandidateText(const std::u16string& text) {
    OnCommit();
    spaceSelects_ = false;
    if (!context_)
        return;
    host().commitText(context_, text);
    SendEndComposition();
    Clear();
}

void ImeEngine::CommitFullWidth(char16_t unit) {
    // A character without a full-width form (from another keyboard layout) goes in as it is,
    // if it is text at all.
    const char16_t wide = toFullWidth(unit, services_.quotes);
    const char16_t committed = wide ? wide : unit;
    SendStartComposition();
    if (!context_ || !isTypedText(committed))
        return;
    host().commitText(context_, std::u16string_view(&committed, 1));
    SendEndComposition();
}

bool ImeEngine::CommitSoftKey(unsigned key, char16_t unit, bool shiftDown) {
    const SoftKeyboard& keyboard = services_.softKeyboard;
    if (!keyboard.isShown() || !context_)
        return false;
    // A key without a symbol types its own character, if that is text.
    const char16_t symbol = keyboard.symbolFor(key, shiftDown);
    const char16_t committed = symbol ? symbol : unit;
    if (isTypedText(committed))
        host().commitText(context_, std::u16string_view(&committed, 1));
    return true;
}

void ImeEngine::Clear() {
    OnClear();
    flags().selectionPending = false;
    candidates_.clear();
    spaceSelects_ = false;
    code_.clear();
}

void ImeEngine::Search() {
    ExactMatch exact{static_cast<std::uint32_t>(flags().exactMatchCount), flags().singleExactMatch};
    candidates_ = lookup().search(settings().scheme(), code_, lookupOptions(), exact);
    flags().exactMatchCount = static_cast<int>(exact.count);
    flags().singleExactMatch = exact.single;
}

void ImeEngine::SearchAssociation() {
    candidates_ = lookup().continuations(lastCode_, lastCommitted_, lookupOptions());
    if (candidates_.totalCount() == 0)
        ResetInput();
}

void ImeEngine::SendStartComposition() {
    flags().selectionPending = false;
    if (context_)
        host().startComposition(context_);
}

void ImeEngine::SendCompositionUpdate() {
    if (context_)
        host().updateComposition(context_);
}

void ImeEngine::SendEndComposition() {
    if (context_)
        host().endComposition(context_);
}

void ImeEngine::turnPage(bool forward) {
    const bool turned = forward ? candidates_.nextPage(settings().has(flag::VerticalLayout))
                                : candidates_.previousPage();
    if (turned) {
        host().invalidateCandidateWindow();
    } else {
        host().beep();
        host().showInfo(forward ? info::LastPage : info::FirstPage);
    }
    SendCompositionUpdate();
}

} // namespace tovi
