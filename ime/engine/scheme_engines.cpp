#include "engine/scheme_engines.h"

#include "engine/virtual_keys.h"

namespace tovi {

bool KeypadEngine::OnKey(unsigned key) {
    if (vk::isNumpadDigit(key) || key == vk::Multiply || key == vk::Decimal || key == vk::Divide)
        return true;
    if (key == vk::OemPlus || key == vk::OemComma || key == vk::OemMinus || key == vk::OemPeriod)
        return !code_.empty() || hasCandidates();
    return false;
}

void KeypadEngine::OnChar(char16_t unit) {
    if (unit >= u'1' && unit <= u'9')
        extendOrSelect(unit);
}

void KeypadEngine::OnCommand(EngineCommand command) {
    switch (command) {
    case EngineCommand::Confirm:
        confirm();
        break;
    case EngineCommand::Backspace:
        backspace();
        break;
    case EngineCommand::PreviousPage:
    case EngineCommand::NextPage:
        turnPage(command == EngineCommand::NextPage);
        break;
    case EngineCommand::Association:
        associate();
        break;
    case EngineCommand::Companion:
        if (const std::u16string commandLine = companionCommandLine();
            !commandLine.empty() && process().mayLaunch())
            host().startProgram(commandLine);
        break;
    case EngineCommand::SymbolList:
        openList(u'/');
        break;
    }
}

void KeypadEngine::associate() {
    if (!settings().has(flag::WordAssociation))
        return;
    SendStartComposition();
    SendCompositionUpdate();
    AppendCode(u' ');
    SearchAssociation();
    confirm();
}

void KeypadEngine::extendOrSelect(char16_t digit) {
    InputFlags& state = flags();
    if (!state.selectionPending && !state.ctrlSelect) {
        if (code_.find(u' ') != std::u16string::npos)
            ResetInput();
        if (code_.empty())
            SendStartComposition();
        AppendCode(digit);
        Search();
        SendCompositionUpdate();
        return;
    }
    selectAt(digit - u'1');
}

void KeypadEngine::selectAt(int slot) {
    SelectCandidate(slot);
    ResetInput();
    SendEndComposition();
    flags().ctrlSelect = false;
    flags().selectionPending = hasCandidates();
}

// Space or keypad 0: a code that can mean only one thing (one candidate, no entry equal to the
// code, or exactly one) is taken at once; otherwise the first confirm lists the candidates
// that equal the code and the second takes the first of them.
void KeypadEngine::confirm() {
    InputFlags& state = flags();
    const bool listCode = code_ == u"/" || code_ == u"@" || code_ == u"*" || code_ == u"-";
    if ((candidates_.totalCount() == 1 || state.exactMatchCount == 0 || state.singleExactMatch) &&
        !listCode) {
        SelectCandidate(0);
        ResetInput();
        SendEndComposition();
        state.singleExactMatch = false;
    } else if (state.selectionPending) {
        SelectCandidate(0);
        ResetInput();
        SendEndComposition();
        state.associationPending = false;
    }
    state.selectionPending = hasCandidates();
    if (state.selectionPending && !state.associationPending) {
        Search();
        SendCompositionUpdate();
    } else if (!state.selectionPending) {
        state.ctrlSelect = false;
        ResetInput();
        SendEndComposition();
    }
}

void KeypadEngine::backspace() {
    if (code_.empty()) {
        host().sendBackspace();
        return;
    }
    RemoveLastCode();
    if (!code_.empty()) {
        if (code_.back() == u'z') {
            candidates_ = lookup().wildcard(code_, lookupOptions());
            if (code_.size() == 4 && candidates_.totalCount() > 1)
                host().beep();
        } else {
            Search();
        }
        SendCompositionUpdate();
    }
    if (code_.empty()) {
        ResetInput();
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
    flags().selectionPending = true;
}

std::u16string KeypadEngine::companionCommandLine() const {
    if (lastCommitted_.empty())
        return {};
    return u"\"" + folder().file(u"PVemoraScreen.exe") + u"\" get " + lastCommitted_.back();
}

bool PinyinEngine::OnKey(unsigned key) {
    if (key >= 'A' && key <= 'Z')
        return true;
    if ((key >= '1' && key <= '9') || key == vk::OemPlus || key == vk::OemMinus)
        return !code_.empty() || hasCandidates();
    return false;
}

void PinyinEngine::OnChar(char16_t unit) {
    if (unit >= u'1' && unit <= u'9') {
        SelectCandidate(unit - u'1');
        // A Ctrl selection promotes that one choice, as in the keypad scheme; left set, it would
        // promote (and rewrite the table for) every later plain selection.
        flags().ctrlSelect = false;
    } else if (unit >= u'a' && unit <= u'z') {
        if (code_.empty())
            SendStartComposition();
        AppendCode(unit);
        Search();
        SendCompositionUpdate();
    }
}

void PinyinEngine::OnCommand(EngineCommand command) {
    switch (command) {
    case EngineCommand::Confirm:
        SelectCandidate(0);
        ResetInput();
        SendEndComposition();
        break;
    case EngineCommand::PreviousPage:
    case EngineCommand::NextPage:
        turnPage(command == EngineCommand::NextPage);
        break;
    case EngineCommand::Backspace:
        if (code_.empty()) {
            host().sendBackspace();
            return;
        }
        RemoveLastCode();
        Search();
        SendCompositionUpdate();
        if (code_.empty())
            SendEndComposition();
        break;
    case EngineCommand::Association:
    case EngineCommand::Companion:
    case EngineCommand::SymbolList:
        break; // keypad commands
    }
}

void PinyinEngine::GetPromptRow(std::array<std::u16string, PromptRow::kFields>& destination) {
    if (!promptTable_)
        promptTable_.emplace(settings().scheme(), folder());
    promptTable_->selectRow(IsCodeLong() ? std::u16string_view() : std::u16string_view(code_));
    promptTable_->copyCurrentRow(destination);
}

const PiTable& PinyinEngine::keyTable() {
    if (!keyTable_) {
        keyTable_.emplace();
        keyTable_->load(folder().file(u"deduSPNum.pi"));
    }
    return *keyTable_;
}

} // namespace tovi
