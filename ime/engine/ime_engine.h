// The engine: turns the key events of the input-method manager into an input code, candidates
// and committed text. One engine per process, shared by all contexts and rebuilt at every
// change of scheme; the schemes decide which keys are theirs and what each does.
#pragma once

#include "engine/engine_command.h"
#include "engine/engine_services.h"
#include "engine/key_event.h"
#include "engine/modifier_taps.h"
#include "tables/candidate_list.h"
#include "tables/prompt_table.h"

#include <array>
#include <memory>
#include <optional>
#include <string>

namespace tovi {

class ImeEngine {
public:
    explicit ImeEngine(const EngineServices& services) : services_(services) {}
    virtual ~ImeEngine() = default;
    ImeEngine(const ImeEngine&) = delete;
    ImeEngine& operator=(const ImeEngine&) = delete;

    // Whether Space belongs to the engine when the code is empty but candidates exist.
    virtual bool SpaceSelects() const { return spaceSelects_; }
    const std::u16string& GetCode() const { return code_; }
    // A typed digit or letter.
    virtual void OnChar(char16_t unit) = 0;
    virtual void OnCommand(EngineCommand command) = 0;
    // Whether a plain virtual key belongs to the scheme.
    virtual bool OnKey(unsigned virtualKey) = 0;
    virtual bool IsCodeLong() const = 0;
    // Scheme hooks, called first by Clear and by CommitCandidateText.
    virtual void OnClear() {}
    virtual void OnCommit() {}
    // The candidate in `slot` of the page was clicked: it is selected as the scheme selects it.
    virtual void OnCandidateClicked(int slot) { SelectCandidate(slot); }
    // The prompt row the prompt window shows for the current code; empty in most schemes.
    virtual void GetPromptRow(std::array<std::u16string, PromptRow::kFields>& row) { row.fill({}); }

    // Whether the module wants the key (it then reaches ToAscii) or the application gets it.
    bool ProcessKey(ContextHandle context, const KeyEvent& key);
    // Handles a claimed key press.
    void ToAscii(ContextHandle context, const KeyEvent& key);

    // Shows the scheme's hint, clears the code and candidates, repaints the windows and ends the
    // composition.
    void ResetInput();
    // Commits candidate n of the current page; false (with a beep and a message) when empty.
    bool SelectCandidate(int n);
    void CommitCandidateText(const std::u16string& text);
    void CommitFullWidth(char16_t unit);
    bool CommitSoftKey(unsigned virtualKey, char16_t unit, bool shiftDown);
    void Clear();
    void AppendCode(char16_t unit) { code_ += unit; }
    void RemoveLastCode() {
        if (!code_.empty())
            code_.pop_back();
    }
    void Search();
    void SearchAssociation();
    void SendStartComposition();
    void SendCompositionUpdate();
    void SendEndComposition();
    // The paging keys of the schemes: a page on or back, then the composition update.
    void turnPage(bool forward);

    // The context of the key handled last: the one the composition belongs to; 0 before any.
    ContextHandle context() const { return context_; }
    const std::u16string& lastCommitted() const { return lastCommitted_; }
    const std::u16string& lastCode() const { return lastCode_; }
    const CandidateList& candidates() const { return candidates_; }
    CandidateList& candidates() { return candidates_; }
    bool hasCandidates() const { return candidates_.totalCount() > 0; }

    // The web address that searches for `text`: the text goes into the query percent-encoded as
    // UTF-8, and the address holds as many whole characters as fit in 254 units.
    static std::u16string webSearchUrl(std::u16string_view text);

protected:
    ImeHost& host() const { return services_.host; }
    ImeSettings& settings() const { return services_.settings; }
    InputFlags& flags() const { return services_.flags; }
    ProcessState& process() const { return services_.process; }
    CodeLookup& lookup() const { return services_.lookup; }
    const platform::InstallFolder& folder() const { return services_.folder; }
    LookupOptions lookupOptions() const;

    std::u16string code_;
    std::u16string lastCode_;
    std::u16string lastCommitted_;
    ContextHandle context_ = 0;
    CandidateList candidates_;
    bool spaceSelects_ = false;

private:
    // The steps of ProcessKey, in their order; a step with an answer decides the key.
    std::optional<bool> cancelOnMovementKey(unsigned key);
    void toggleFullWidth(const KeyEvent& key);
    std::optional<bool> keypadHotkey(const KeyEvent& key);
    void toggleEnglishMode();
    std::optional<bool> controlKey(const KeyEvent& key);
    bool claimsForInput(const KeyEvent& key);

    bool fullWidthRuleHolds(unsigned virtualKey, bool shiftDown) const;
    void setEnglishMode(bool on);
    // The command a claimed key stands for, if any.
    static std::optional<EngineCommand> commandFor(unsigned virtualKey);

    EngineServices services_;
    bool enterCancelled_ = false;
    RightShiftTap rightShiftTap_;
};

// The engine of a scheme: none for the schemes without one.
std::unique_ptr<ImeEngine> createEngine(Scheme scheme, const EngineServices& services);

} // namespace tovi
