// One scheme's module on the real tables, typed key by key as the input-method manager drives
// it: ProcessKey for every press, ToAscii for the claimed ones, and after each press the fetch
// of what the candidate window shows.
#pragma once

#include "bench_support.h"
#include "core/module.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tovi::bench {

// What the candidate window fetches after a key: the code, its hint, the page and its neighbours.
struct ShownCandidates {
    std::u16string code;
    std::u16string codeHint;
    std::vector<std::u16string> page;
    bool hasPreviousPage = false;
    bool hasNextPage = false;
};

// A host that keeps the committed text.
class CommitRecorder : public QuietHost {
public:
    void commitText(ContextHandle, std::u16string_view text) override { committed.append(text); }
    std::u16string committed;
};

class TypingSession {
public:
    // Builds the module in `folder` for `scheme` and waits for its table; `sectionName` keeps
    // the shared state apart from other runs.
    TypingSession(const platform::InstallFolder& folder, Scheme scheme,
                  const std::u16string& sectionName);
    ~TypingSession();
    TypingSession(const TypingSession&) = delete;
    TypingSession& operator=(const TypingSession&) = delete;

    // Milliseconds from the module's construction until its table was loaded.
    double loadMilliseconds() const { return loadMs_; }
    bool tableLoaded();

    // Clears the input and what was committed: the next word starts clean.
    void startWord();
    // A key press: the key reaches processKey, and toAscii when claimed; then the candidate
    // window's view is fetched into `shown`.
    void press(unsigned virtualKey, char16_t unit, ShownCandidates& shown);
    // The key's release, which reaches processKey only.
    void release(unsigned virtualKey);
    // What the keypad engine says about the code's exact matches.
    int exactMatchCount() { return module_->flags().exactMatchCount; }
    bool singleExactMatch() { return module_->flags().singleExactMatch; }
    bool selectionPending() { return module_->flags().selectionPending; }
    int totalCount();
    const std::u16string& committed() const { return host_.committed; }

private:
    void fetch(ShownCandidates& shown);

    static constexpr ContextHandle kContext = 1;
    std::u16string sectionName_;
    CommitRecorder host_;
    std::unique_ptr<Module> module_;
    std::uint8_t keys_[256] = {};
    double loadMs_ = 0;
};

} // namespace tovi::bench
