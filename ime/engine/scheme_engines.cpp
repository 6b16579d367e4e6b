#include "engine/scheme_engines.h"

#include "boundary/module.h"
#include "engine/code_lookup.h"
#include "engine/virtual_keys.h"
#include "platform/install_folder.h"

namespace tovi {

bool KeypadEngine::OnKey(unsigned key) {
    if (vk::isNumpadDigit(key) || key == vk::Multiply || key == vk::Decimal || key == vk::Divide)
        return true;
    if (key == vk::OemPlus || key == vk::OemComma || key == vk::OemMinus || key == vk::OemPeriod)
        return !code_.empty() || hasCandidates();
    return false;
}

void KeypadEngine::OnChar(char16_t unit) {
    ImeHost& host = module_.host();
    if (unit >= u'1' && unit <= u'9') {
        extendOrSelect(unit);
    } else if (unit == u'*') {
        confirm();
    } else if (unit == u'^') {
        backspace();
    } else if (unit == u'+' || unit == u'-') {
        turnPage(unit == u'+');
    } else if (unit == u'%') {
        if (module_.settings().has(flag::WordAssociation)) {
            SendStartComposition();
            SendCompositionUpdate();
            AppendCode(u' ');
            SearchAssociation();
            OnChar(u'*');
        }
    } else if (unit == u'!') {
        const std::u16string commandLine = companionCommandLine();
        if (!commandLine.empty() && module_.mayLaunch())
            host.startProgram(commandLine);
    } else if (unit == u'#') {
        openList(u'-');
    } else if (unit == u'$') {
        openList(u'/');
    }
}

void KeypadEngine::extendOrSelect(char16_t digit) {
    InputFlags& flags = module_.flags();
    if (!flags.selectionPending && !flags.ctrlSelect) {
        if (code_.find(u' ') != std::u16string::npos)
            module_.resetInput();
        if (code_.empty())
            SendStartComposition();
        AppendCode(digit);
        Search();
        SendCompositionUpdate();
        return;
    }
    SelectCandidate(digit - u'1');
    module_.resetInput();
    SendEndComposition();
    flags.ctrlSelect = false;
    flags.selectionPending = hasCandidates();
}

void KeypadEngine::confirm() {
    InputFlags& flags = module_.flags();
    const bool listCode = code_ == u"/" || code_ == u"@" || code_ == u"*" || code_ == u"-";
    if ((candidates_.totalCount() == 1 || flags.exactMatchCount == 0 || flags.singleExactMatch) &&
        !listCode) {
        SelectCandidate(0);
        module_.resetInput();
        SendEndComposition();
        flags.singleExactMatch = false;
    } else if (flags.selectionPending) {
        SelectCandidate(0);
        module_.resetInput();
        SendEndComposition();
        flags.associationPending = false;
    }
    flags.selectionPending = hasCandidates();
    if (flags.selectionPending && !flags.associationPending) {
        Search();
        SendCompositionUpdate();
    } else if (!flags.selectionPending) {
        flags.ctrlSelect = false;
        module_.resetInput();
        SendEndComposition();
    }
}

void KeypadEngine::backspace() {
    if (code_.empty()) {
        module_.host().sendBackspace();
        return;
    }
    RemoveLastCode();
    if (!code_.empty()) {
        if (code_.back() == u'z') {
            CodeLookup* lookup = module_.lookup();
            candidates_ = lookup ? lookup->wildcard(code_) : CandidateList();
            if (code_.size() == 4 && candidates_.totalCount() > 1)
                module_.host().beep();
        } else {
            Search();
        }
        SendCompositionUpdate();
    }
    if (code_.empty()) {
        module_.resetInput();
        SendEndComposition();
    }
}

void KeypadEngine::openList(char16_t listCode) {
    if (!code_.empty())
        return;
    SendStartComposition();
    AppendCode(listCode);
    Search();
    SendCompositionUpdate();
    module_.flags().selectionPending = true;
}

std::u16string KeypadEngine::companionCommandLine() const {
    if (lastCommitted_.empty())
        return {};
    return u"\"" + platform::installFilePath(u"PVemoraScreen.exe") + u"\" get " +
           lastCommitted_.back();
}

PinyinEngine::PinyinEngine(Module& module)
    : ImeEngine(module), promptTable_(module.settings().schemeIndex()) {
    spaceSelects_ = false;
    keyTable_.load(platform::installFilePath(u"deduSPNum.pi"));
}

bool PinyinEngine::OnKey(unsigned key) {
    if (key >= 'A' && key <= 'Z')
        return true;
    if ((key >= '1' && key <= '9') || key == vk::OemPlus || key == vk::OemMinus)
        return !code_.empty() || hasCandidates();
    return false;
}

void PinyinEngine::OnChar(char16_t unit) {
    ImeHost& host = module_.host();
    if (unit >= u'1' && unit <= u'9') {
        SelectCandidate(unit - u'1');
    } else if (unit == u'*') {
        SelectCandidate(0);
        module_.resetInput();
        SendEndComposition();
    } else if (unit == u'+' || unit == u'-') {
        turnPage(unit == u'+');
    } else if (unit == u'^') {
        if (code_.empty()) {
            host.sendBackspace();
            return;
        }
        RemoveLastCode();
        Search();
        SendCompositionUpdate();
        if (code_.empty())
            SendEndComposition();
    } else if (unit >= u'a' && unit <= u'z') {
        if (code_.empty())
            SendStartComposition();
        AppendCode(unit);
        Search();
        SendCompositionUpdate();
    }
}

void PinyinEngine::promptRow(std::array<std::u16string, PromptRow::kFields>& destination) {
    promptTable_.selectRow(IsCodeLong() ? std::u16string_view() : std::u16string_view(code_));
    promptTable_.copyCurrentRow(destination);
}

} // namespace tovi
