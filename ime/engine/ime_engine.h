// The engine: turns the key events of the input-method manager into an input code, candidates
// and committed text. One engine per process, shared by all contexts and rebuilt at every
// change of scheme; the schemes decide which keys are theirs and what each does.
#pragma once

#include "engine/ime_host.h"
#include "tables/candidate_list.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tovi {

class Module;

// The 256-byte key-state array of the system; the high bit of an entry means "down", the low
// bit of a toggle key means "on".
using KeyState = const std::uint8_t*;

class ImeEngine {
public:
    explicit ImeEngine(Module& module) : module_(module) {}
    virtual ~ImeEngine() = default;
    ImeEngine(const ImeEngine&) = delete;
    ImeEngine& operator=(const ImeEngine&) = delete;

    // Whether Space belongs to the engine when the code is empty but candidates exist.
    virtual bool SpaceSelects() const { return spaceSelects_; }
    virtual std::u16string GetCode() const { return code_; }
    // Processes one internal character.
    virtual void OnChar(char16_t unit) = 0;
    // Whether a plain virtual key belongs to the scheme.
    virtual bool OnKey(unsigned virtualKey) = 0;
    virtual bool IsCodeLong() const = 0;
    // Scheme hooks, called first by Clear and by CommitCandidateText.
    virtual void OnClear() {}
    virtual void OnCommit() {}

    // Whether the module wants the key (it then reaches ToAscii) or the application gets it.
    bool ProcessKey(ContextHandle context, unsigned virtualKey, std::uint32_t keyData,
                    KeyState keyState);
    // Handles a claimed key: the low word of the argument is the virtual key, the high word the
    // character the system translated it to.
    void ToAscii(ContextHandle context, std::uint32_t virtualKeyArg, KeyState keyState);

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
    void ShowInfoMessage(std::u16string_view text, unsigned milliseconds);
    // The paging keys of the schemes: a page on or back, then the composition update.
    void turnPage(bool forward);

    const std::u16string& lastCommitted() const { return lastCommitted_; }
    const std::u16string& lastCode() const { return lastCode_; }
    const CandidateList& candidates() const { return candidates_; }
    CandidateList& candidates() { return candidates_; }
    ContextHandle context() const { return context_; }
    bool hasCandidates() const { return candidates_.totalCount() > 0; }

    // The web address that searches for `text`; the text goes in unescaped, and the whole
    // address is cut to 254 units.
    static std::u16string webSearchUrl(std::u16string_view text);

protected:
    Module& module_;
    std::u16string code_;
    std::u16string lastCode_;
    std::u16string lastCommitted_;
    ContextHandle context_ = 0;
    CandidateList candidates_;
    bool spaceSelects_ = false;
    bool enterCancelled_ = false;
    bool keyParity_ = true;
    bool rightShiftDown_ = false;

private:
    bool fullWidthRuleHolds(unsigned virtualKey, bool shiftDown) const;
    void setEnglishMode(bool on);
    void toggleScheme();
};

// The engine for a scheme index: none for schemes without one of their own.
std::unique_ptr<ImeEngine> createEngine(int schemeIndex, Module& module);

} // namespace tovi
