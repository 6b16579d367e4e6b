// The process-wide state of the input method: one instance per process that loaded the module,
// built at process attach and torn down at detach. Code reaches it through modulePtr(), which
// is null before attach and after detach.
#pragma once

#include "engine/code_lookup.h"
#include "engine/ime_engine.h"
#include "engine/ime_host.h"
#include "engine/input_flags.h"
#include "schemes/char_code_map.h"
#include "schemes/code_hint_table.h"
#include "schemes/code_table_loader.h"
#include "tables/code_table_lookup.h"
#include "tables/ime_settings.h"
#include "tables/soft_keyboard.h"
#include "ui/char_conversions.h"

#include <cstdint>
#include <memory>

namespace tovi {

class Module;

// The engine's searches on whatever table the background load has completed; nothing is found
// while none has.
class ModuleLookup : public CodeLookup {
public:
    explicit ModuleLookup(Module& module) : module_(module) {}
    CandidateList search(int schemeIndex, const std::u16string& code) override;
    CandidateList wildcard(const std::u16string& code) override;
    CandidateList continuations(const std::u16string& lastCode,
                                const std::u16string& lastCommitted) override;
    std::u16string textToCommit(const std::u16string& text) override;

private:
    CodeTableLookup* current();

    Module& module_;
    CodeTable* table_ = nullptr;
    std::unique_ptr<CodeTableLookup> lookup_;
};

class Module : private SchemeChangeHandler {
public:
    // Takes the next process instance number from the shared section, loads the settings and
    // builds the engine for their scheme.
    explicit Module(ImeHost& host);
    // Saves the settings.
    ~Module() override;
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    ImeSettings& settings() { return *settings_; }
    const ImeSettings& settings() const { return *settings_; }
    // The engine of the current scheme; null for a scheme without one.
    ImeEngine* engine() { return engine_.get(); }
    // Puts another engine in place of the current one (the old one is kept until the next
    // change, as at a change of scheme).
    void installEngine(std::unique_ptr<ImeEngine> engine) {
        retiredEngine_ = std::move(engine_);
        engine_ = std::move(engine);
    }
    InputFlags& flags() { return flags_; }
    // The code table's lookups.
    CodeLookup* lookup() { return lookupOverride_ ? lookupOverride_ : &lookup_; }
    // Tests put their own lookups in place of the code table's.
    void setLookup(CodeLookup* lookup) { lookupOverride_ = lookup; }
    CodeTableLoader& codeTableLoader() { return *loader_; }

    // The rebuilt per-scheme tables: the character code map and the code hint table.
    void loadSchemeTables();
    // Destroys the current code table and starts loading the scheme's in the background.
    void startCodeTableLoad();
    // The hint shown after a typed code in the candidate window.
    std::u16string currentCodeHint(const std::u16string& input) const;
    // The code proposed for a new word in the word maker.
    std::u16string proposeWordCode(std::u16string_view word) const;
    SoftKeyboard& softKeyboard() { return softKeyboard_; }
    QuoteState& quotes() { return quotes_; }
    ImeHost& host() { return host_; }

    // The instance counter's value right after this process incremented it; 0 when the shared
    // section could not be mapped.
    std::uint32_t instanceNumber() const { return instanceNumber_; }

    // Shows the scheme's hint, clears the code and candidates, repaints the windows and ends the
    // composition.
    void resetInput();

    // The logon desktop: a process there must never start a program, open a URL, a help file or
    // a dialog, which would hand a shell to whoever sits at the lock screen. Once seen, for good.
    void markSecureDesktop() { secureDesktop_ = true; }
    bool mayLaunch() const { return !secureDesktop_; }

    // The context last passed to ImeSelect; 0 before the first.
    ContextHandle currentContext = 0;
    // Set by the first ImeSelect that selects a context; never cleared.
    bool contextSelected = false;
    // The status window's left edge as the status window publishes it.
    std::int32_t publishedStatusX = 0;

private:
    void beforeSchemeChange() override;
    void afterSchemeChange() override;

    ImeHost& host_;
    std::uint32_t instanceNumber_ = 0;
    std::unique_ptr<ImeSettings> settings_;
    std::unique_ptr<ImeEngine> engine_;
    // The engine replaced by the last change of scheme. A change can start inside the old
    // engine's own key handling, so it is kept until the next change.
    std::unique_ptr<ImeEngine> retiredEngine_;
    InputFlags flags_;
    std::unique_ptr<CodeTableLoader> loader_;
    ModuleLookup lookup_{*this};
    CodeLookup* lookupOverride_ = nullptr;
    CharCodeMap charCodes_;
    std::unique_ptr<CodeHintTable> hints_ = std::make_unique<CodeHintTable>();
    SoftKeyboard softKeyboard_;
    QuoteState quotes_;
    bool secureDesktop_ = false;
};

// The process's module, or null outside attach..detach.
Module* modulePtr();
// Builds the module (process attach) and tears it down (process detach). Attach reports false
// when the module could not be built; the process then runs without it.
bool attachModule(ImeHost& host);
void detachModule();

} // namespace tovi
