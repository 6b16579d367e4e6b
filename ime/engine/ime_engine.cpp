#include "engine/ime_engine.h"

#include "boundary/module.h"
#include "engine/code_lookup.h"
#include "engine/ime_messages.h"
#include "engine/key_tables.h"
#include "engine/virtual_keys.h"

namespace tovi {
namespace {

bool down(KeyState keys, unsigned key) {
    return (keys[key & 0xFF] & 0x80) != 0;
}
bool toggled(KeyState keys, unsigned key) {
    return (keys[key & 0xFF] & 0x01) != 0;
}

// The key data of a right-Ctrl release: transition and previous-state bits, the extended bit,
// scan code 0x1D, repeat count 1.
constexpr std::uint32_t kRightCtrlRelease = 0xC11D0001;

} // namespace

bool ImeEngine::fullWidthRuleHolds(unsigned key, bool shiftDown) const {
    const ImeSettings& settings = module_.settings();
    return (settings.has(flag::FullWidthLetters) && isFullWidthKey(key)) ||
           (settings.has(flag::FullWidthSymbols) && isPunctuationKey(key, shiftDown));
}

void ImeEngine::setEnglishMode(bool on) {
    InputFlags& flags = module_.flags();
    if (flags.englishMode != on) {
        flags.englishMode = on;
        module_.host().invalidateStatusWindow();
    }
}

bool ImeEngine::ProcessKey(ContextHandle, unsigned key, std::uint32_t keyData, KeyState keys) {
    InputFlags& flags = module_.flags();
    ImeSettings& settings = module_.settings();
    ImeHost& host = module_.host();
    const bool shift = down(keys, vk::Shift);
    const bool ctrl = down(keys, vk::Control);

    // 1. Keys that move the caret or confirm cancel the code; Enter on a code is eaten once.
    if (!flags.englishMode &&
        (key == vk::Return || key == vk::End || key == vk::Home || key == vk::Left ||
         key == vk::Up || key == vk::Right || key == vk::Down || key == vk::Delete)) {
        if (key == vk::Return && !code_.empty() && !enterCancelled_) {
            module_.resetInput();
            SendEndComposition();
            enterCancelled_ = true;
            flags.selectionPending = false;
            return true;
        }
        module_.resetInput();
        SendEndComposition();
    }
    // 2.
    if (key != vk::Return)
        enterCancelled_ = false;
    // 3. A shown soft keyboard takes every key it has a symbol for.
    if (module_.softKeyboard().isShown() && isFullWidthKey(key) && !flags.englishMode)
        return true;
    // 4, 5. Full-width toggles; the parity lets only one of a press and its release act.
    if (shift && key == vk::Space && !keyParity_) {
        settings.flags ^= flag::FullWidthLetters;
        host.invalidateStatusWindow();
        ShowInfoMessage(u"设置全角/半角！", 9000);
    }
    if (ctrl && (key == vk::OemPeriod || key == vk::Decimal) && !keyParity_) {
        settings.flags ^= flag::FullWidthSymbols;
        host.invalidateStatusWindow();
        ShowInfoMessage(u"设置全角/半角！", 9000);
    }
    // 6. Keypad plus asks for association candidates.
    if (key == vk::Add) {
        flags.associationPending = true;
        keyParity_ = !keyParity_;
        OnChar(u'%');
        OnChar(u'%');
        return true;
    }
    // 7. Keypad minus searches the web for the last committed text.
    if (key == vk::Subtract && settings.has(flag::WebSearch) && module_.mayLaunch()) {
        host.openUrl(webSearchUrl(lastCommitted_));
        return true;
    }
    // 9. Ctrl with a keypad digit selects (and promotes) a candidate.
    if (ctrl && key >= vk::Numpad1 && key <= vk::Numpad9 && !keyParity_) {
        flags.ctrlSelect = true;
        keyParity_ = !keyParity_;
        OnChar(static_cast<char16_t>(key - 0x30));
        return true;
    }
    // 10. Ctrl+J toggles traditional output.
    if (ctrl && key == 'J' && !keyParity_) {
        flags.traditionalOutput = !flags.traditionalOutput;
        keyParity_ = !keyParity_;
        return true;
    }
    // 11.
    keyParity_ = !keyParity_;
    // 12. The end of a right-Shift tap toggles English mode.
    if (key == vk::Shift && !down(keys, vk::RShift) && rightShiftDown_) {
        module_.resetInput();
        SendEndComposition();
        setEnglishMode(!flags.englishMode);
        if (flags.englishMode)
            settings.flags &= ~flag::FullWidthSymbols;
        else
            settings.flags |= flag::FullWidthSymbols;
        if (settings.has(flag::FullWidthLetters) && flags.englishMode)
            settings.flags &= ~flag::FullWidthLetters;
    }
    // 13.
    rightShiftDown_ = key == vk::Shift && host.isKeyDown(vk::RShift);
    // 14. Ctrl combinations belong to the application, and spoil a right-Ctrl tap.
    if (key != vk::Control && ctrl) {
        flags.ctrlCombined = true;
        return false;
    }
    // 15. The release of a lone right-Ctrl switches between the two schemes.
    if (key == vk::Control && keyData == kRightCtrlRelease && !flags.ctrlCombined &&
        !flags.firstKeyGuard) {
        host.invalidateStatusWindow();
        toggleScheme(); // replaces this engine: nothing of it may be touched after this
        return true;
    }
    // 16.
    flags.ctrlCombined = false;
    flags.firstKeyGuard = false;
    // 17. Keys with a full-width form are the module's while full-width input is on.
    if (fullWidthRuleHolds(key, shift) && !(!flags.englishMode && vk::isNumpadDigit(key)))
        return true;
    // 18. CapsLock follows its light into and out of English mode.
    if (key == vk::Capital) {
        setEnglishMode(toggled(keys, vk::Capital));
        flags.capsLock = toggled(keys, vk::Capital);
        module_.resetInput();
        SendEndComposition();
    }
    // 19.
    if (shift || ctrl || down(keys, vk::Menu) || toggled(keys, vk::Capital))
        return false;
    // 20.
    if ((key == vk::Back || key == vk::Decimal) && !code_.empty())
        return true;
    // 21.
    if (key == vk::Space && (!code_.empty() || (hasCandidates() && SpaceSelects())))
        return true;
    if (key == vk::Escape && (!code_.empty() || hasCandidates()))
        return true;
    // 22.
    if (!flags.englishMode && OnKey(key))
        return true;
    // 23.
    if ((key == vk::Prior || key == vk::Next) && !code_.empty())
        return true;
    return false;
}

void ImeEngine::toggleScheme() {
    ImeSettings& settings = module_.settings();
    const int scheme = settings.schemeIndex();
    if (scheme == 1 || scheme == 2)
        settings.setScheme(scheme == 1 ? 2 : 1);
}

void ImeEngine::ToAscii(ContextHandle context, std::uint32_t virtualKeyArg, KeyState keys) {
    const unsigned key = virtualKeyArg & 0xFFFF;
    const auto unit = static_cast<char16_t>(virtualKeyArg >> 16);
    const bool shift = down(keys, vk::Shift);
    InputFlags& flags = module_.flags();

    context_ = context;
    // A keypad code this long without candidates is a typing error: start over.
    if (code_.size() >= 12 && vk::isNumpadDigit(key) && module_.settings().schemeIndex() == 1 &&
        !hasCandidates()) {
        module_.host().beep();
        module_.resetInput();
    }
    if (key == vk::Escape) {
        module_.resetInput();
        return;
    }
    if (CommitSoftKey(key, unit, shift))
        return;
    if (code_.empty() && !hasCandidates() && fullWidthRuleHolds(key, shift)) {
        if (!(!flags.englishMode && vk::isNumpadDigit(key))) {
            CommitFullWidth(unit);
            return;
        }
    }
    char16_t internal = unit;
    switch (key) {
    case vk::Multiply:
        OnChar(u'!');
        return;
    case vk::Add:
        OnChar(u'@');
        return;
    case vk::Divide:
        OnChar(u'$');
        return;
    case vk::Space:
    case vk::Numpad0:
        internal = u'*';
        break;
    case vk::OemComma:
    case vk::OemMinus:
    case vk::Prior:
        internal = u'-';
        break;
    case vk::OemPeriod:
    case vk::OemPlus:
    case vk::Next:
        internal = u'+';
        break;
    case vk::Back:
    case vk::Decimal:
        internal = u'^';
        break;
    default:
        break;
    }
    // Keypad 0 on an empty code types a plain space.
    if (key == vk::Numpad0 && code_.empty() && !flags.selectionPending) {
        if (module_.currentContext)
            module_.host().commitText(module_.currentContext, u" ");
        return;
    }
    OnChar(internal);
}

bool ImeEngine::SelectCandidate(int n) {
    const std::u16string text = candidates_.itemText(n);
    if (text.empty()) {
        module_.host().beep();
        ShowInfoMessage(u"所选序号无内容！", 9000);
        return false;
    }
    if (!(text.size() == 1 && isNoFeedbackPunctuation(text[0])))
        candidates_.markSelected(n);
    lastCode_ = code_;
    CodeLookup* lookup = module_.lookup();
    lastCommitted_ = lookup ? lookup->textToCommit(text) : text;
    CommitCandidateText(lastCommitted_);
    return true;
}

void ImeEngine::CommitCandidateText(const std::u16string& text) {
    OnCommit();
    spaceSelects_ = false;
    if (!context_)
        return;
    module_.host().commitText(context_, text);
    SendEndComposition();
    Clear();
}

void ImeEngine::CommitFullWidth(char16_t unit) {
    // A character without a full-width form (from another keyboard layout) goes in as it is.
    const char16_t wide = toFullWidth(unit, module_.quotes());
    const char16_t committed = wide ? wide : unit;
    SendStartComposition();
    if (!context_ || !committed)
        return;
    module_.host().commitText(context_, std::u16string_view(&committed, 1));
    SendEndComposition();
}

bool ImeEngine::CommitSoftKey(unsigned key, char16_t unit, bool shiftDown) {
    SoftKeyboard& keyboard = module_.softKeyboard();
    if (!keyboard.isShown() || !context_)
        return false;
    const char16_t symbol = keyboard.symbolFor(key, shiftDown);
    const char16_t committed = symbol ? symbol : unit;
    if (committed)
        module_.host().commitText(context_, std::u16string_view(&committed, 1));
    return true;
}

void ImeEngine::Clear() {
    OnClear();
    module_.flags().selectionPending = false;
    candidates_.clear();
    spaceSelects_ = false;
    code_.clear();
}

void ImeEngine::Search() {
    CodeLookup* lookup = module_.lookup();
    candidates_ =
        lookup ? lookup->search(module_.settings().schemeIndex(), code_) : CandidateList();
}

void ImeEngine::SearchAssociation() {
    CodeLookup* lookup = module_.lookup();
    candidates_ = lookup ? lookup->continuations(lastCode_, lastCommitted_) : CandidateList();
    if (candidates_.totalCount() == 0)
        module_.resetInput();
}

void ImeEngine::SendStartComposition() {
    module_.flags().selectionPending = false;
    if (context_)
        module_.host().generateMessage(context_, msg::ImeStartComposition, 0, 0);
}

void ImeEngine::SendCompositionUpdate() {
    if (context_)
        module_.host().generateMessage(context_, msg::ImeComposition, 0, 0);
}

void ImeEngine::SendEndComposition() {
    if (context_)
        module_.host().generateMessage(context_, msg::ImeEndComposition, 0, 0);
}

void ImeEngine::turnPage(bool forward) {
    if (forward)
        candidates_.nextPage(module_.host(), module_.settings().has(flag::VerticalLayout));
    else
        candidates_.previousPage(module_.host());
    SendCompositionUpdate();
}

void ImeEngine::ShowInfoMessage(std::u16string_view text, unsigned milliseconds) {
    module_.host().showInfoMessage(text, milliseconds);
}

std::u16string ImeEngine::webSearchUrl(std::u16string_view text) {
    std::u16string url = u"https://www.baidu.com/s?wd=";
    url += text;
    if (url.size() > 254)
        url.resize(254);
    return url;
}

} // namespace tovi
